#pragma once
// What the about window says.

// Three paragraphs, each break two carriage returns.
extern const char* const kAboutDescription;
// One line: the maker and the version.
extern const char* const kAboutNotice;
