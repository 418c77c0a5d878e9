// The environment of the installation: where the program is installed, its
// version, and the installation template that fills a fresh install folder.
#pragma once

#include <string>

class CIxenEnv {
public:
    // $MILVANE_HOME when set and not empty, otherwise $XDG_DATA_HOME/Milvane,
    // otherwise $HOME/.local/share/Milvane. Absolute, without trailing "/".
    static std::string InstallDir();
    // The version integer of the build (312 means 3.12).
    static int Version();
    // The installation template shipped with the program: $MILVANE_TEMPLATE when
    // set; otherwise <exe folder>/share/milvane/template (build tree) or
    // <exe folder>/../share/milvane/template (installed). "" when none exists.
    static std::string TemplateDir();
};

// "%3d" of v, then its first character, "." and its last two characters
// (312 → "3.12").
std::string FormatVersionText(int version);
// The About box text: "Milvane\nVersion 3.12".
std::string AboutText(int version);

// Copies every file and folder of the template that the install folder lacks
// (an existing file is never overwritten); a link of the template becomes a
// link to the file it resolves to. Then, when
// "Data/MyData/datadir.dat" is missing, writes it naming
// "<install>/Data/MyData" and copies the template's empty database
// "Data/Org/QSMLV.mlv" there (unless that folder already has one).
// Silent; false when something could not be copied or written.
bool PrepareInstallation(const std::string& installDir, const std::string& templateDir);
