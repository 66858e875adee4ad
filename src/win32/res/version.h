#pragma once
// The program's version, for the version record and whoever shows it.
#define VELNOR_VERSION_MAJOR 1
#define VELNOR_VERSION_MINOR 0
#define VELNOR_VERSION_TEXT "1.00"
#define VELNOR_VERSION_WTEXT L"1.00"
