// This build's installation script.
#include "installer/install_script.h"

namespace vl4 {

std::string InstallScript::UninstallHeader() const {
  std::string header;
  for (const std::string& text : uninstaller_texts) header += text + "|";
  return header;
}

std::string InstallScript::GroupName() const {
  return !program_group.empty() && program_group.front() == '\\' ? program_group.substr(1)
                                                                 : program_group;
}

InstallScript InstallScript::ThisBuild(const Locations& where) {
  InstallScript s;
  s.product_name = "Veltoria";
  s.product_kind = "system";
  s.version = "4.7";
  s.install_title = "VL4 Install";
  s.program_group = "\\Veltoria 4";
  s.default_destination = where.program_files_dir + "\\VL4";
  s.previous_version_marker = where.program_files_dir + "\\VL4\\UNINST.VL4";
  s.data_parts = 1;
  s.password = "4817203956610382749155063829471036";
  s.uninstall_log_name = "vl4.log";
  s.self_copy_name = "VL4Setup.exe";
  s.final_program = "%InstallDir%\\vl4setup.exe";
  s.final_params = "";
  s.final_dir = "%InstallDir%";
  s.final_note = "\r\nTo complete the Veltoria setup, the VL4Setup program will be launched.";
  s.uninstaller_texts = {"Uninstall Veltoria 4", "Do you want to uninstall Veltoria 4?",
                         "Veltoria 4 has uninstalled completely.",
                         "Veltoria 4 has uninstalled but the following files have not removed:"};
  s.required_files_message =
      "You need previously install the basic version of Veltoria in the specified directory.";
  s.env_caption = "Environments";
  s.env_header = "\r\n          Select environments to use\r\n          Veltoria:\r\n";
  s.env_extra_height = 200;
  s.allow_no_environment = false;

  const std::string& sys = where.system_dir;
  const std::string group = where.programs_folder + s.program_group;
  const std::string& desk = where.desktop_folder;
  const std::string uninstaller = sys + "\\uninvl32.exe";
  const std::string log_argument = "\"%InstallDir%\\UNINST\\" + s.uninstall_log_name + "\"";
  const std::string dir = "%InstallDir%";
  s.shortcuts = {
      {uninstaller, log_argument, sys, dir + "\\UNINST", "VL4Uninstall"},
      {uninstaller, log_argument, sys, group, "VL4 Uninstall"},
      {dir + "\\vl4setup.exe", "", dir, group, "VL4 Setup"},
      {dir + "\\VL4Demo.exe", "", dir, group, "VL4 Demo"},
      {dir + "\\VL4Load.exe", "", dir, group, "VL4 Load"},
      {dir + "\\VL4Res.exe", "", dir, group, "VL4 Results"},
      {dir + "\\readme.txt", "", dir, group, "VL4 Readme"},
      {dir + "\\VL4Demo.exe", "", dir, desk, "VL4 Demo"},
      {dir + "\\VL4Load.exe", "", dir, desk, "VL4 Load"},
      {dir + "\\VL4Res.exe", "", dir, desk, "VL4 Results"},
      {dir + "\\VL4Help.chm", "", dir, group, "VL4 Help"},
  };
  s.environments = {
      {"Borland Delphi 3", "DELPHI3"},
      {"Borland Delphi 4", "DELPHI4"},
      {"Borland Delphi 5", "DELPHI5"},
      {"Borland Delphi 6", "DELPHI6"},
      {"Borland Delphi 7", "DELPHI7"},
      {"Borland Delphi 2006", "DELPHI10"},
      {"Free Pascal Lazarus 0.9", "LAZARUS1"},
      {"Microsoft Visual Basic 5", "VB5"},
      {"Microsoft Visual Basic 6", "VB6"},
      {"Microsoft Visual Basic 2003", "VB7"},
      {"Microsoft Visual Basic 2005", "VB8"},
      {"Microsoft Visual Basic 2008", "VB9"},
      {"Microsoft Visual Basic .NET 2003", "VBNET1"},
      {"Microsoft Visual Basic .NET 2005", "VBNET2"},
      {"Microsoft Visual Basic .NET 2008", "VBNET3"},
      {"Borland C++Builder 4", "CB4"},
      {"Borland C++Builder 5", "CB5"},
      {"Microsoft Visual C++ 6", "VC6"},
      {"Microsoft Visual C++ 2003", "VCNET1"},
      {"Microsoft Visual C++ 2005", "VCNET2"},
      {"Microsoft Visual C++ 2008", "VCNET3"},
      {"Microsoft Visual C# .NET 2003", "VCSNET1"},
      {"Microsoft Visual C# .NET 2005", "VCSNET2"},
      {"Microsoft Visual C# .NET 2008", "VCSNET3"},
  };
  s.preserved_files = {"RESULTS.DAT", "VL.INI"};
  s.extra_uninstall_entries = {dir + "\\SAMPLES\\a", dir + "\\LIB\\a"};
  return s;
}

}  // namespace vl4
