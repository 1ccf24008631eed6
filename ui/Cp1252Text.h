#pragma once

// The one crossing between the screen's text (QString) and the model's (code page 1252 bytes,
// as stored in documents). Nothing is lost on the way: a byte the code page leaves undefined
// comes to the screen as the control character of the same value and goes back as that byte; a
// character the code page cannot hold is refused, never replaced.

#include <optional>
#include <string>

#include <QString>

QString FromCp1252(const std::string& text);

// The bytes of text, or nullopt when it holds a character that code page 1252 cannot hold (or a
// zero character, which would end a formula early); firstBad then receives its index.
std::optional<std::string> ToCp1252(const QString& text, int* firstBad = nullptr);

// The index of the first character of text that ToCp1252 refuses, or -1.
int FirstNonCp1252(const QString& text);

// The whole character at index (two code units for a character beyond the first plane).
QString CharacterAt(const QString& text, int index);
