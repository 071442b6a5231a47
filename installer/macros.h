// The script's macros: "%InstallDir%" in script values, "%StartDir%" in the settings file's
// Params and "%ProgramFilesDir%" in its InstallDir; all matched without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace vl4 {

// Every "%INSTALLDIR%", left to right; the inserted text is not searched again.
std::string ExpandInstallDir(std::string_view text, std::string_view install_dir);
// Every "%STARTDIR%"; a drive root "D:" is inserted as "D:\".
std::string ExpandStartDir(std::string_view text, std::string_view start_dir);
// The first "%PROGRAMFILESDIR%" only.
std::string ExpandProgramFilesDir(std::string_view text, std::string_view program_files_dir);

// The name of data part n: the data file name for part 1, with n appended after it for the
// others ("Inst.dat", "Inst.dat2").
std::string DataPartName(std::string_view data_file_name, int n);

}  // namespace vl4
