// Must not compile: the core sees no widget headers. Built only by the test that expects it to fail.
#include <QWidget>
