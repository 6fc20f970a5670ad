#include "messages.h"

namespace rt {

namespace {
struct Message {
  long id;
  const char* text;  // code page 858: \x81 is u-umlaut, \x84 a-umlaut, \x94 o-umlaut
};

// Texts end each escape with a string break where a hex digit follows.
constexpr Message kMessages[] = {
    {1, "Parameterwert ung\x81ltig"},
    {2, "Parametertyp ung\x81ltig"},
    {3, "Falsche Anzahl von Parametern"},
    {7, "Syntaxfehler"},
    {12, "Funktion nicht gefunden"},
    {13, "Methode nicht vorhanden"},
    {20, "Datei kann nicht angelegt werden"},
    {21, "Datei kann nicht ge\x94"
         "ffnet werden"},
    {22, "Datei kann nicht geschlossen werden"},
    {24, "Fehler beim Schreiben in die Datei"},
    {28, "Kein Zugriff auf die Member-Variable"},
    {41, "Interne Datenstruktur besch\x84"
         "digt"},
    {96, "Doppelter Schl\x81ssel"},
    {104, "Objekt im falschen Zustand f\x81r diese Operation"},
};
}  // namespace

Value LoadResource(long id, const Value& module, const Value&) {
  if (!module.isNumber() || module.number() != kRuntimeMessages) return Value();
  for (const Message& m : kMessages) {
    if (m.id == id) return Value(m.text);
  }
  return Value();
}

}  // namespace rt
