// The registry library: a program's values in the user's settings of the company "Korvel",
// and the registration of a document type with the desktop.
//
// The values live in the same per-user file as the program's other settings
// ($XDG_CONFIG_HOME/Korvel/<program>.conf, else ~/.config/...), in its [General] section.
//
// Threads: any; calls do not share state.
#pragma once

#include <cstdint>
#include <string>

// One value to read: its name, its kind, where the value goes and its default.
struct KVRegistryEntry
{
    const char* name;
    int type; // KVREG_DWORD or KVREG_STRING
    std::uint32_t number;
    std::uint32_t numberDefault;
    std::string text;
    std::string textDefault;
};

inline constexpr int KVREG_DWORD = 4;
inline constexpr int KVREG_STRING = 1;

// Fills the entries of program from its settings; an entry that is missing or malformed
// takes its default. Returns 1, or 0 (every entry at its default) when the settings cannot
// be read or the arguments are bad.
int GetKorvelRegistry(const char* program, KVRegistryEntry* entries, int count);

// The folder of the per-user settings of the company ("<config>/Korvel"); empty without a
// home folder.
std::string KorvelSettingsFolder();

// Registers the document type of extension (".wdo") for the program at the user level when
// it is not registered yet: a MIME type (typeId, typeName) and a desktop entry that opens
// such files with programPath. Returns 1 when registered or already there, else 0.
int KVRegisterShellFileTypes(const char* extension, const char* mimeType, const char* typeName,
                             const char* programPath);
