#pragma once

#include <QString>

// What the program asks of the machine: names, environment variables, folders. Reached through
// Service<Environment>; tests pin it.
class Environment
{
public:
    virtual ~Environment() = default;

    // The machine's name, as the suite's workstation key uses it.
    virtual QString computerName() const = 0;
    // The login name of the person running the program.
    virtual QString userName() const = 0;
    // The value of an environment variable, matched ignoring case as on the suite's home system;
    // empty when unset.
    virtual QString variable(const QString& name) const = 0;
    // The system's temporary folder, without a trailing "/".
    virtual QString systemTempFolder() const = 0;
    // The folder that holds the running executable, without a trailing "/".
    virtual QString executableFolder() const = 0;
};

// The environment variable that moves the program folder elsewhere.
inline constexpr char ProgramHomeVariable[] = "RP_TARIFOLIO_HOME";

// Executable name, also the program name the suite's tables and settings use.
QString executableName();

// The program folder (helper files, INI file, reports, error log of the data layer):
// RP_TARIFOLIO_HOME when set, else the executable's folder. No trailing "/".
QString programFolder();

// The data folder: what the suite writes beside the program (pictures, upload copies, command
// files) goes to <XDG data home>/Rp_Tarifolio: XDG_DATA_HOME when it is an absolute path, else
// HOME/.local/share. Not created here; no trailing "/".
QString dataFolder();

// The folder for temporary files, this account's own (see privateFolderIn) under TEMP, else TMP,
// else the system temporary folder (trimmed). No trailing "/".
QString temporaryFolder();

// A folder under `base` that no other account may enter, so that nothing another account put at a
// name the program uses there is used, followed or waited on: `base` itself when it is private
// already (a real folder of this account, not a link, that group and others may not write);
// else "<base>/Rp_Tarifolio-<uid>", made with mode 0700 when missing and used only while it is a
// real folder of this account that group and others may not enter; where anything else holds that
// name, a new folder of this process made by mkdtemp, the same one for every call. No trailing "/".
QString privateFolderIn(const QString& base);
