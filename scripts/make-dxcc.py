#!/usr/bin/env python3
"""Generates data/dxcc.txt, the prefix file the program ships beside itself.

Source: the country file cty.dat by AD1C (Big CTY), as packaged by Debian in
hamradio-files (/usr/share/hamradio-files/cty.dat).

Output: one line per plain prefix, "PREFIX;DXCC prefix;Country", sorted by prefix,
Windows-1252 with CR LF line endings. Exact-call entries ("=CALL") are left out.
Country names are Spanish; every prefix of an Argentine call (AY, AZ, L1-L9, LO-LW,
including the Antarctic bases' LU1Z..., AY1Z...) gives exactly "Argentina", which the
program relies on to read the province from the call.

Usage: scripts/make-dxcc.py [cty.dat] [output]
"""
import re
import sys
from pathlib import Path

DEFAULT_SOURCE = "/usr/share/hamradio-files/cty.dat"
DEFAULT_OUTPUT = Path(__file__).resolve().parent.parent / "data" / "dxcc.txt"

# The program searches entries 0 to 22900 only.
MAX_LINES = 22900
MAX_COUNTRY = 100

ARGENTINE = re.compile(r"^(AY|AZ|L[1-9O-W])")
ARGENTINE_BASES = ["AY", "AZ"] + [f"L{c}" for c in "123456789OPQRSTUVW"]

# Spanish names of the entities of cty.dat, keyed by its English name.
SPANISH = {
    "Sov Mil Order of Malta": "Soberana Orden Militar de Malta",
    "Spratly Islands": "Islas Spratly",
    "Monaco": "Mónaco",
    "Agalega & St. Brandon": "Agalega y San Brandón",
    "Mauritius": "Mauricio",
    "Rodriguez Island": "Isla Rodrigues",
    "Equatorial Guinea": "Guinea Ecuatorial",
    "Annobon Island": "Isla Annobón",
    "Fiji": "Fiyi",
    "Conway Reef": "Arrecife Conway",
    "Rotuma Island": "Isla Rotuma",
    "Kingdom of Eswatini": "Esuatini",
    "Tunisia": "Túnez",
    "Vietnam": "Vietnam",
    "Guinea": "Guinea",
    "Bouvet": "Isla Bouvet",
    "Peter 1 Island": "Isla Pedro I",
    "Azerbaijan": "Azerbaiyán",
    "Georgia": "Georgia",
    "Montenegro": "Montenegro",
    "Sri Lanka": "Sri Lanka",
    "ITU HQ": "Sede de la UIT",
    "United Nations HQ": "Sede de las Naciones Unidas",
    "Vienna Intl Ctr": "Centro Internacional de Viena",
    "Timor - Leste": "Timor Oriental",
    "Israel": "Israel",
    "Libya": "Libia",
    "Cyprus": "Chipre",
    "Tanzania": "Tanzania",
    "Nigeria": "Nigeria",
    "Madagascar": "Madagascar",
    "Mauritania": "Mauritania",
    "Niger": "Níger",
    "Togo": "Togo",
    "Samoa": "Samoa",
    "Uganda": "Uganda",
    "Kenya": "Kenia",
    "Senegal": "Senegal",
    "Jamaica": "Jamaica",
    "Yemen": "Yemen",
    "Lesotho": "Lesoto",
    "Malawi": "Malaui",
    "Algeria": "Argelia",
    "Barbados": "Barbados",
    "Maldives": "Maldivas",
    "Guyana": "Guyana",
    "Croatia": "Croacia",
    "Ghana": "Ghana",
    "Malta": "Malta",
    "Zambia": "Zambia",
    "Kuwait": "Kuwait",
    "Sierra Leone": "Sierra Leona",
    "West Malaysia": "Malasia Occidental",
    "East Malaysia": "Malasia Oriental",
    "Nepal": "Nepal",
    "Dem. Rep. of the Congo": "República Democrática del Congo",
    "Burundi": "Burundi",
    "Singapore": "Singapur",
    "Rwanda": "Ruanda",
    "Trinidad & Tobago": "Trinidad y Tobago",
    "Botswana": "Botsuana",
    "Tonga": "Tonga",
    "Oman": "Omán",
    "Bhutan": "Bután",
    "United Arab Emirates": "Emiratos Árabes Unidos",
    "Qatar": "Catar",
    "Bahrain": "Baréin",
    "Pakistan": "Pakistán",
    "Scarborough Reef": "Arrecife Scarborough",
    "Taiwan": "Taiwán",
    "Pratas Island": "Isla Pratas",
    "China": "China",
    "Nauru": "Nauru",
    "Andorra": "Andorra",
    "The Gambia": "Gambia",
    "Bahamas": "Bahamas",
    "Mozambique": "Mozambique",
    "Chile": "Chile",
    "San Felix & San Ambrosio": "Islas San Félix y San Ambrosio",
    "Easter Island": "Isla de Pascua",
    "Juan Fernandez Islands": "Islas Juan Fernández",
    "Antarctica": "Antártida",
    "Cuba": "Cuba",
    "Morocco": "Marruecos",
    "Bolivia": "Bolivia",
    "Portugal": "Portugal",
    "Madeira Islands": "Islas Madeira",
    "Azores": "Azores",
    "Uruguay": "Uruguay",
    "Sable Island": "Isla Sable",
    "St. Paul Island": "Isla San Pablo",
    "Angola": "Angola",
    "Cape Verde": "Cabo Verde",
    "Comoros": "Comoras",
    "Fed. Rep. of Germany": "Alemania",
    "Philippines": "Filipinas",
    "Eritrea": "Eritrea",
    "Palestine": "Palestina",
    "North Cook Islands": "Islas Cook del Norte",
    "South Cook Islands": "Islas Cook del Sur",
    "Niue": "Niue",
    "Bosnia-Herzegovina": "Bosnia y Herzegovina",
    "Spain": "España",
    "Balearic Islands": "Islas Baleares",
    "Canary Islands": "Islas Canarias",
    "Ceuta & Melilla": "Ceuta y Melilla",
    "Ireland": "Irlanda",
    "Armenia": "Armenia",
    "Liberia": "Liberia",
    "Iran": "Irán",
    "Moldova": "Moldavia",
    "Estonia": "Estonia",
    "Ethiopia": "Etiopía",
    "Belarus": "Bielorrusia",
    "Kyrgyzstan": "Kirguistán",
    "Tajikistan": "Tayikistán",
    "Turkmenistan": "Turkmenistán",
    "France": "Francia",
    "Guadeloupe": "Guadalupe",
    "Mayotte": "Mayotte",
    "St. Barthelemy": "San Bartolomé",
    "New Caledonia": "Nueva Caledonia",
    "Chesterfield Islands": "Islas Chesterfield",
    "Martinique": "Martinica",
    "French Polynesia": "Polinesia Francesa",
    "Austral Islands": "Islas Australes",
    "Clipperton Island": "Isla Clipperton",
    "Marquesas Islands": "Islas Marquesas",
    "St. Pierre & Miquelon": "San Pedro y Miquelón",
    "Reunion Island": "Isla Reunión",
    "St. Martin": "San Martín",
    "Glorioso Islands": "Islas Gloriosas",
    "Juan de Nova, Europa": "Juan de Nova y Europa",
    "Tromelin Island": "Isla Tromelin",
    "Crozet Island": "Islas Crozet",
    "Kerguelen Islands": "Islas Kerguelen",
    "Amsterdam & St. Paul Is.": "Islas Ámsterdam y San Pablo",
    "Wallis & Futuna Islands": "Wallis y Futuna",
    "French Guiana": "Guayana Francesa",
    "England": "Inglaterra",
    "Isle of Man": "Isla de Man",
    "Northern Ireland": "Irlanda del Norte",
    "Jersey": "Jersey",
    "Scotland": "Escocia",
    "Shetland Islands": "Islas Shetland",
    "Guernsey": "Guernsey",
    "Wales": "Gales",
    "Solomon Islands": "Islas Salomón",
    "Temotu Province": "Temotu",
    "Hungary": "Hungría",
    "Switzerland": "Suiza",
    "Liechtenstein": "Liechtenstein",
    "Ecuador": "Ecuador",
    "Galapagos Islands": "Islas Galápagos",
    "Haiti": "Haití",
    "Dominican Republic": "República Dominicana",
    "Colombia": "Colombia",
    "San Andres & Providencia": "San Andrés y Providencia",
    "Malpelo Island": "Isla Malpelo",
    "Republic of Korea": "Corea del Sur",
    "Panama": "Panamá",
    "Honduras": "Honduras",
    "Thailand": "Tailandia",
    "Vatican City": "Ciudad del Vaticano",
    "Saudi Arabia": "Arabia Saudita",
    "Italy": "Italia",
    "African Italy": "Italia africana",
    "Sardinia": "Cerdeña",
    "Sicily": "Sicilia",
    "Djibouti": "Yibuti",
    "Grenada": "Granada",
    "Guinea-Bissau": "Guinea-Bisáu",
    "St. Lucia": "Santa Lucía",
    "Dominica": "Dominica",
    "St. Vincent": "San Vicente",
    "Japan": "Japón",
    "Minami Torishima": "Minami Torishima",
    "Ogasawara": "Ogasawara",
    "Mongolia": "Mongolia",
    "Svalbard": "Svalbard",
    "Bear Island": "Isla del Oso",
    "Jan Mayen": "Jan Mayen",
    "Jordan": "Jordania",
    "United States of America": "Estados Unidos",
    "Guantanamo Bay": "Bahía de Guantánamo",
    "Mariana Islands": "Islas Marianas",
    "Baker & Howland Islands": "Islas Baker y Howland",
    "Guam": "Guam",
    "Johnston Island": "Isla Johnston",
    "Midway Island": "Islas Midway",
    "Palmyra & Jarvis Islands": "Palmyra y Jarvis",
    "Hawaii": "Hawái",
    "Kure Island": "Isla Kure",
    "American Samoa": "Samoa Americana",
    "Swains Island": "Isla Swains",
    "Wake Island": "Isla Wake",
    "Alaska": "Alaska",
    "Navassa Island": "Isla Navaza",
    "US Virgin Islands": "Islas Vírgenes de los Estados Unidos",
    "Puerto Rico": "Puerto Rico",
    "Desecheo Island": "Isla Desecheo",
    "Norway": "Noruega",
    "Argentina": "Argentina",
    "Luxembourg": "Luxemburgo",
    "Lithuania": "Lituania",
    "Bulgaria": "Bulgaria",
    "Peru": "Perú",
    "Lebanon": "Líbano",
    "Austria": "Austria",
    "Finland": "Finlandia",
    "Aland Islands": "Islas Åland",
    "Market Reef": "Arrecife Market",
    "Czech Republic": "República Checa",
    "Slovak Republic": "Eslovaquia",
    "Belgium": "Bélgica",
    "Greenland": "Groenlandia",
    "Faroe Islands": "Islas Feroe",
    "Denmark": "Dinamarca",
    "Papua New Guinea": "Papúa Nueva Guinea",
    "Aruba": "Aruba",
    "DPR of Korea": "Corea del Norte",
    "Netherlands": "Países Bajos",
    "Curacao": "Curazao",
    "Bonaire": "Bonaire",
    "Saba & St. Eustatius": "Saba y San Eustaquio",
    "Sint Maarten": "Sint Maarten",
    "Brazil": "Brasil",
    "Fernando de Noronha": "Fernando de Noronha",
    "St. Peter & St. Paul": "San Pedro y San Pablo",
    "Trindade & Martim Vaz": "Trindade y Martim Vaz",
    "Suriname": "Surinam",
    "Franz Josef Land": "Tierra de Francisco José",
    "Western Sahara": "Sahara Occidental",
    "Bangladesh": "Bangladés",
    "Slovenia": "Eslovenia",
    "Seychelles": "Seychelles",
    "Sao Tome & Principe": "Santo Tomé y Príncipe",
    "Sweden": "Suecia",
    "Poland": "Polonia",
    "Sudan": "Sudán",
    "Egypt": "Egipto",
    "Greece": "Grecia",
    "Mount Athos": "Monte Athos",
    "Dodecanese": "Dodecaneso",
    "Crete": "Creta",
    "Tuvalu": "Tuvalu",
    "Western Kiribati": "Kiribati Occidental",
    "Central Kiribati": "Kiribati Central",
    "Eastern Kiribati": "Kiribati Oriental",
    "Banaba Island": "Isla Banaba",
    "Somalia": "Somalia",
    "San Marino": "San Marino",
    "Palau": "Palaos",
    "Asiatic Turkey": "Turquía asiática",
    "European Turkey": "Turquía europea",
    "Iceland": "Islandia",
    "Guatemala": "Guatemala",
    "Costa Rica": "Costa Rica",
    "Cocos Island": "Isla del Coco",
    "Cameroon": "Camerún",
    "Corsica": "Córcega",
    "Central African Republic": "República Centroafricana",
    "Republic of the Congo": "República del Congo",
    "Gabon": "Gabón",
    "Chad": "Chad",
    "Cote d'Ivoire": "Costa de Marfil",
    "Benin": "Benín",
    "Mali": "Malí",
    "European Russia": "Rusia europea",
    "Kaliningrad": "Kaliningrado",
    "Asiatic Russia": "Rusia asiática",
    "Uzbekistan": "Uzbekistán",
    "Kazakhstan": "Kazajistán",
    "Ukraine": "Ucrania",
    "Antigua & Barbuda": "Antigua y Barbuda",
    "Belize": "Belice",
    "St. Kitts & Nevis": "San Cristóbal y Nieves",
    "Namibia": "Namibia",
    "Micronesia": "Micronesia",
    "Marshall Islands": "Islas Marshall",
    "Brunei Darussalam": "Brunéi",
    "Canada": "Canadá",
    "Australia": "Australia",
    "Heard Island": "Isla Heard",
    "Macquarie Island": "Isla Macquarie",
    "Cocos (Keeling) Islands": "Islas Cocos (Keeling)",
    "Lord Howe Island": "Isla Lord Howe",
    "Mellish Reef": "Arrecife Mellish",
    "Norfolk Island": "Isla Norfolk",
    "Willis Island": "Isla Willis",
    "Christmas Island": "Isla de Navidad",
    "Anguilla": "Anguila",
    "Montserrat": "Montserrat",
    "British Virgin Islands": "Islas Vírgenes Británicas",
    "Turks & Caicos Islands": "Islas Turcas y Caicos",
    "Pitcairn Island": "Islas Pitcairn",
    "Ducie Island": "Isla Ducie",
    "Falkland Islands": "Islas Malvinas",
    "South Georgia Island": "Islas Georgias del Sur",
    "South Shetland Islands": "Islas Shetland del Sur",
    "South Orkney Islands": "Islas Orcadas del Sur",
    "South Sandwich Islands": "Islas Sandwich del Sur",
    "Bermuda": "Bermudas",
    "Chagos Islands": "Islas Chagos",
    "Hong Kong": "Hong Kong",
    "India": "India",
    "Andaman & Nicobar Is.": "Islas Andamán y Nicobar",
    "Lakshadweep Islands": "Laquedivas",
    "Mexico": "México",
    "Revillagigedo": "Islas Revillagigedo",
    "Burkina Faso": "Burkina Faso",
    "Cambodia": "Camboya",
    "Laos": "Laos",
    "Macao": "Macao",
    "Myanmar": "Birmania",
    "Afghanistan": "Afganistán",
    "Indonesia": "Indonesia",
    "Iraq": "Irak",
    "Vanuatu": "Vanuatu",
    "Syria": "Siria",
    "Latvia": "Letonia",
    "Nicaragua": "Nicaragua",
    "Romania": "Rumania",
    "El Salvador": "El Salvador",
    "Serbia": "Serbia",
    "Venezuela": "Venezuela",
    "Aves Island": "Isla de Aves",
    "Zimbabwe": "Zimbabue",
    "North Macedonia": "Macedonia del Norte",
    "Republic of Kosovo": "Kosovo",
    "Republic of South Sudan": "Sudán del Sur",
    "Albania": "Albania",
    "Gibraltar": "Gibraltar",
    "UK Base Areas on Cyprus": "Bases británicas en Chipre",
    "St. Helena": "Santa Elena",
    "Ascension Island": "Isla Ascensión",
    "Tristan da Cunha & Gough": "Tristán de Acuña y Gough",
    "Cayman Islands": "Islas Caimán",
    "Tokelau Islands": "Tokelau",
    "New Zealand": "Nueva Zelanda",
    "Chatham Islands": "Islas Chatham",
    "Kermadec Islands": "Islas Kermadec",
    "N.Z. Subantarctic Is.": "Islas subantárticas de Nueva Zelanda",
    "Paraguay": "Paraguay",
    "South Africa": "Sudáfrica",
    "Pr. Edward & Marion Is.": "Islas Príncipe Eduardo y Marion",
}

# Per-prefix overrides in cty.dat: (CQ zone) [ITU zone] <lat/lon> {continent} ~offset~.
OVERRIDES = re.compile(r"[(\[<{~].*$")


def read_entities(text):
    """Yields (English name, DXCC prefix, [aliases]) for each entity of a cty.dat text."""
    name = primary = None
    body = []
    for line in text.splitlines():
        if not line.strip():
            continue
        if not line[0].isspace():
            fields = [f.strip() for f in line.split(":")]
            if len(fields) < 8:
                raise ValueError(f"unexpected header line: {line!r}")
            name, primary, body = fields[0], fields[7].lstrip("*"), []
            continue
        if name is None:
            raise ValueError(f"alias line before any entity: {line!r}")
        body.append(line.strip())
        if line.rstrip().endswith(";"):
            aliases = [a.strip() for a in "".join(body).rstrip(";").split(",") if a.strip()]
            yield name, primary, aliases
            name = None


def build_lines(entities):
    countries = {}  # prefix -> (DXCC prefix, Spanish name); the first entity wins
    missing = set()
    for name, primary, aliases in entities:
        spanish = SPANISH.get(name)
        if spanish is None:
            missing.add(name)
            spanish = name
        for alias in aliases:
            if alias.startswith("="):
                continue  # a single station, not a prefix
            prefix = OVERRIDES.sub("", alias).upper()
            if not prefix:
                continue
            if ARGENTINE.match(prefix):
                countries.setdefault(prefix, ("LU", "Argentina"))
            else:
                countries.setdefault(prefix, (primary, spanish))
    for prefix in ARGENTINE_BASES:
        countries[prefix] = ("LU", "Argentina")
    for name in sorted(missing):
        print(f"warning: no Spanish name for {name!r}, English kept", file=sys.stderr)

    lines = []
    for prefix in sorted(countries):
        primary, country = countries[prefix]
        if ";" in prefix + primary + country:
            raise ValueError(f"field separator inside {prefix!r}")
        lines.append(f"{prefix};{primary};{country[:MAX_COUNTRY]}")
    if len(lines) > MAX_LINES:
        raise ValueError(f"{len(lines)} lines: the program searches only {MAX_LINES}")
    return lines


def main(argv):
    source = Path(argv[1] if len(argv) > 1 else DEFAULT_SOURCE)
    output = Path(argv[2] if len(argv) > 2 else DEFAULT_OUTPUT)
    lines = build_lines(read_entities(source.read_text(encoding="latin-1")))
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_bytes("".join(line + "\r\n" for line in lines).encode("cp1252"))
    print(f"{output}: {len(lines)} prefixes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
