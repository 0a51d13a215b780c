// The program folder: where VellTile.ini and VellLog.txt live.
//
// It is the folder of the running executable. When that folder cannot be
// written (an installation under /usr, a read-only mount), the user's
// configuration folder takes its place: $XDG_CONFIG_HOME/VellTile, or
// ~/.config/VellTile when the variable is unset or not an absolute path.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace vell {

// Environment lookup, replaceable in tests.
using TEnvLookup = std::function<std::optional<std::string>(const std::string& name)>;
std::optional<std::string> ProcessEnv(const std::string& name);

// Folder of the running executable with a trailing '/'; "" when unknown.
std::string ExecutableFolder();

// $XDG_CONFIG_HOME/VellTile/ or $HOME/.config/VellTile/ (trailing '/'),
// "" when neither variable gives an absolute path. Not created here.
std::string ConfigFolder(const TEnvLookup& env = ProcessEnv);

// True when a file can be created in the folder (probed by creating and
// removing one, so read-only mounts and root's permissions are both right).
bool FolderWritable(const std::string& folder);

// Creates the folder and its missing parents (mode 0700 for new ones).
bool MakeFolders(const std::string& folder);

// The program folder (trailing '/') chosen from the executable's folder
// `exeFolder`: that folder when writable, else the configuration folder,
// created when needed. Falls back to `exeFolder` when no configuration
// folder can be made, so reads still work.
std::string ChooseProgramFolder(const std::string& exeFolder, const TEnvLookup& env = ProcessEnv);

// ChooseProgramFolder(ExecutableFolder()), decided once per run.
const std::string& ProgramFolder();

// Path of `name` in the program folder `folder`. When `folder` is not the
// executable's folder and holds no such file yet while `exeFolder` does
// (settings or a log left by a run that could still write there, or shipped
// with the program), the file is copied over first so nothing is lost.
std::string ProgramFile(const std::string& folder, const std::string& exeFolder, const std::string& name);

// ProgramFile(ProgramFolder(), ExecutableFolder(), name).
std::string ProgramFile(const std::string& name);

}  // namespace vell
