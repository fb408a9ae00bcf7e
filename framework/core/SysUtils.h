// String and file-name helpers, and the string resources.
#pragma once

#include <string>

// Text of a string-table entry converted to the string code page; an entry
// that does not exist is empty text.
std::string LoadStr(int id);

// Code page the string tables are converted to (the system's ANSI code page
// until set; Japanese texts need 932 whatever the system's is).
void SetStringCodePage(unsigned codePage);
unsigned StringCodePage();

// A whole text as an integer: an optional sign, then decimal digits or
// hexadecimal ones after "$" or "0x". False, and value untouched, for
// anything else (empty text, spaces, other characters, out of range).
bool TryStrToInt(const std::string& text, int& value);

// Whether key is the "&" accelerator of caption, case ignored ("&&", and
// "&" before a blank, are plain ampersands and name nothing).
bool IsAccel(unsigned key, const std::string& caption);

// "C:\dir\file.ext" -> "C:\dir\" (everything up to the last '\', '/' or ':').
std::string ExtractFilePath(const std::string& fileName);
// "C:\dir\file.ext" -> "file.ext".
std::string ExtractFileName(const std::string& fileName);

// The directory of the running executable, with a trailing backslash.
std::string ExeDirectory();

// The framework's date and time: days since 30 December 1899, the time of
// day as the fraction.
using TDateTime = double;

// The date in the user's short date format, followed by the time in the
// user's time format unless the time is midnight. Empty text for a value
// outside the years 1601..30827, which the platform cannot show.
std::string DateTimeToStr(TDateTime value);
