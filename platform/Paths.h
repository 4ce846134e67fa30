#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vyk {

// Paths are bytes, as the file system holds them. They reach Qt in the form
// Qt gives back to the file system (QFile::decodeName), so a folder name in
// UTF-8 still names the same folder. A name that is not valid UTF-8 cannot
// pass through QString unchanged, so the functions that take the data or
// program folder's paths (Files.h, AddFontFile) and the settings file's
// (IniFile.h) hand the bytes to the file system themselves.
QString QtPath(const std::string& path);
std::string BytePath(const QString& path);

// A file or folder name as the user reads it: UTF-8, as the file system
// names it, with each byte that is not part of valid UTF-8 shown as its
// Latin-1 letter, so that no name turns into blanks or question marks.
QString NameText(std::string_view bytes);

// The program's own folder, byte for byte, without a trailing "/".
std::string ProgramDir();

// The user's home, byte for byte: HOME when it holds an absolute path, else
// the home the password database gives this user; empty when neither does.
std::string HomeDir();

// Stand-in for the Windows directory: the user's configuration folder
// (XDG_CONFIG_HOME when it holds an absolute path, else ~/.config) with
// exactly one trailing "/". The settings and registry files live there.
// Paths keep the environment's bytes, whatever their encoding. Empty when
// there is no home to put it in.
std::string WindowsDir();

// Stand-in for the Windows fonts folder: the user's font folder
// (XDG_DATA_HOME when absolute, else ~/.local/share, and "/fonts"); empty
// when there is no home.
std::string UserFontsDir();

}  // namespace vyk
