#pragma once
#include <QString>
#include <utility>

namespace vz {

// Outcome of an operation that can fail with a text for the operator.
struct Status {
  bool ok = true;
  QString error;

  static Status success() { return {}; }
  static Status failure(QString text) { return {false, std::move(text)}; }
  explicit operator bool() const { return ok; }
};

// A value or the failure that prevented it.
template <class T>
struct Result {
  T value{};
  Status status;

  static Result of(T v) { return {std::move(v), {}}; }
  static Result failure(QString text) { return {T{}, Status::failure(std::move(text))}; }
  bool ok() const { return status.ok; }
  const QString& error() const { return status.error; }
};

}  // namespace vz
