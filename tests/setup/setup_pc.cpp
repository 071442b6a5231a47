// The sandbox PC of the setup window tests.
#include "tests/setup/setup_pc.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/file_tree.h"
#include "platform/path.h"
#include "platform/text_file.h"
#include "setup/catalogue.h"
#include "setup/results/code_page.h"
#include "setup/results/results_file.h"
#include "tests/support/test_world.h"

namespace vl4::test {

namespace {

std::string NewRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vl4-setup-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string ExeHostPath(const std::string& root) {
  return root + "/C/VL4/VL4Setup.exe";
}

}  // namespace

SetupPc::SetupPc() : root_(NewRoot()) {
  // A first start creates the PC; then it gets a known login name, so that default user names
  // are predictable.
  platform::SandboxPlatform(root_, ExeHostPath(root_));
  const std::string ini = root_ + "/sandbox.ini";
  std::string text;
  {
    std::ifstream in(ini, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  size_t user = text.find("\nUser=");
  size_t end = text.find('\n', user + 1);
  text.replace(user + 1, end - user - 1, std::string("User=") + kLogin);
  std::ofstream(ini, std::ios::binary) << text;
  pc_ = std::make_unique<platform::SandboxPlatform>(root_, ExeHostPath(root_));
  for (const char* tool : {"VL4Demo.exe", "VL4Load.exe", "VL4Res.exe", "VL4Setup.exe"}) {
    Put(std::string(kInstallDir) + tool, "MZ");
  }
}

SetupPc::~SetupPc() {
  // regsvr32 is not waited for by the setup tool; the PC outlives it.
  if (pc_) pc_->WaitForStartedProcesses(std::chrono::seconds(10));
  net_output_.reset();
  user_name_.reset();
  about_.reset();
  window_.reset();
  pc_.reset();
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

void SetupPc::Put(const std::string& path, std::string_view bytes) {
  platform::ForceDirectories(files(), ExtractFileDir(path));
  ASSERT_TRUE(WriteWholeFile(files(), path, bytes)) << path;
}

std::optional<std::string> SetupPc::Read(const std::string& path) {
  return ReadWholeFile(files(), path);
}

std::string SetupPc::HostPath(const std::string& path) {
  return pc_->HostPath(path).value_or("");
}

void SetupPc::AddModules(const std::string& code) {
  Catalogue catalogue;
  const EnvRow* row = catalogue.ByCode(code);
  ASSERT_NE(row, nullptr) << code;
  const std::string folder = row->ModuleFolder(kInstallDir);
  Put(folder + "\\" + UnitFileName(row->kind));
  Put(folder + "\\" + row->loader_template);
}

void SetupPc::AddIde(platform::RootKey root, const std::string& key, const std::string& value_name,
                     const std::string& exe_path, const std::string& value) {
  Put(exe_path, "MZ");
  registry().WriteString(root, key, value_name, value.empty() ? exe_path : value);
}

void SetupPc::InstallStandIn(const std::string& exe_path) {
  // The stand-in is built beside the test programs.
  const char* bin = std::getenv("VL4_BIN_DIR");
  const std::filesystem::path dir =
      bin ? std::filesystem::path(bin)
          : std::filesystem::read_symlink("/proc/self/exe").parent_path();
  platform::ForceDirectories(files(), ExtractFileDir(exe_path));
  const std::string host = HostPath(ExtractFileDir(exe_path)) + "/" + ExtractFileName(exe_path);
  std::filesystem::create_symlink(dir / "vl4standin", host);
}

void SetupPc::AddDelphi7(const std::string& project, bool in_registry) {
  using namespace ides;
  AddModules("DELPHI7");
  Put("C:\\VL4\\DELPHI7\\vl4d7tls.dpk", project);
  Put(kDelphiExe, "MZ");
  Put(std::string(kDelphiLib) + "\\System.dcu");
  InstallStandIn("C:\\Borland\\Delphi7\\Bin\\dcc32.exe");
  if (in_registry) {
    registry().WriteString(platform::RootKey::kLocalMachine, kDelphiKey, "App", kDelphiExe);
    registry().WriteString(platform::RootKey::kLocalMachine, kDelphiKey, "RootDir",
                           "C:\\Borland\\Delphi7");
  }
  registry().CreateKey(platform::RootKey::kCurrentUser, kDelphiKnown);
}

void SetupPc::AddVb6() {
  AddModules("VB6");
  Put("C:\\VL4\\VB6\\vl4addin.vbp",
      "Type=OleDll\r\nClass=VL4ToolsForVB; VL4ToolsForVB.cls\r\nName=\"vl4addin\"\r\n"
      "ExeName32=\"vl4addin.dll\"\r\n");
  registry().WriteString(platform::RootKey::kLocalMachine, ides::kVbKey, "ProductDir", "C:\\VB98");
  InstallStandIn("C:\\VB98\\VB6.EXE");
  InstallStandIn("C:\\Windows\\System32\\regsvr32.exe");
}

void SetupPc::RegisterAddIn(const std::string& library) {
  // A class identifier of another build of the add-in.
  const std::string clsid = "{0E5E1D0C-0000-4000-8000-00000000A0D1}";
  registry().WriteString(platform::RootKey::kClassesRoot, "\\vl4addin.VL4ToolsForVB\\CLSID", "",
                         clsid);
  registry().WriteString(platform::RootKey::kClassesRoot, "\\CLSID\\" + clsid + "\\InprocServer32",
                         "", library);
}

std::string SetupPc::AddInServer() {
  const auto clsid =
      registry().ReadString(platform::RootKey::kClassesRoot, "\\vl4addin.VL4ToolsForVB\\CLSID", "");
  if (!clsid) return "";
  return registry()
      .ReadString(platform::RootKey::kClassesRoot, "\\CLSID\\" + *clsid + "\\InprocServer32", "")
      .value_or("");
}

std::vector<SetupPc::Started> SetupPc::StartedProcesses() {
  std::ifstream in(root_ + "/processes");
  std::vector<Started> started;
  for (std::string line; std::getline(in, line);) {
    // pid, start time, show command, command line
    size_t show = line.find('\t', line.find('\t') + 1) + 1;
    size_t command = line.find('\t', show) + 1;
    started.push_back({std::stoi(line.substr(show, command - show - 1)), line.substr(command)});
  }
  return started;
}

std::vector<std::string> SetupPc::StandInLog() {
  return platform::SplitLines(Read("C:\\Windows\\vl4standin.log").value_or(""));
}

SetupWindow& SetupPc::Start(std::vector<std::string> arguments) {
  pc_.reset();
  pc_ =
      std::make_unique<platform::SandboxPlatform>(root_, ExeHostPath(root_), std::move(arguments));
  ui_.app.SetTitle("VL4 Setup");
  window_ = std::make_unique<SetupWindow>(ui_.app, *pc_);
  ui_.app.SetMainForm(window_.get());
  window_->StartUp();
  about_ = std::make_unique<AboutDialog>(ui_.app);
  user_name_ = std::make_unique<UserNameDialog>(ui_.app);
  net_output_ = std::make_unique<NetOutputDialog>(ui_.app, pc_->files());
  window_->AttachDialogs(*about_, *user_name_, *net_output_);
  return *window_;
}

void SetupPc::Close() {
  window_->Close();
}

std::string RecordText(const std::string& file, size_t index) {
  if (file.size() < (index + 1) * kResultsRecordSize) return "<missing>";
  const size_t at = index * kResultsRecordSize;
  const size_t length = std::min<size_t>(static_cast<unsigned char>(file[at]), kResultsTextSize);
  return Dos866ToWin1251(file.substr(at + 1, length));
}

}  // namespace vl4::test
