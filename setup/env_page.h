// The controls of one environment page of the setup window: where the IDE's executable is, the
// Browse, Install and Delete buttons, and the page's status line.
#pragma once

#include <memory>
#include <string>

#include "ui/controls.h"

namespace vl4 {

struct EnvRow;

struct EnvPage {
  EnvPage(ui::PageControl& pages, const EnvRow& row);

  // The page itself or one of its buttons.
  bool Owns(const ui::Control* control) const;
  bool StatusRed() const;
  // The row's modules-installed mark, set by the status refresh once it found the IDE. The
  // Install button's caption shows it ("Install Veltoria modules for ..." before, "Delete the
  // Veltoria modules from ..." after).
  bool ModulesInstalled() const { return modules_installed_; }
  void SetModulesInstalled(bool installed);

  ui::TabSheet Sheet;
  ui::Label CaptionLabel;
  ui::Edit PathEdit;
  ui::Button BrowseButton;
  // Only the rows whose modules are installed into the IDE have one. It is never shown: its
  // caption shows the row's modules-installed mark and its action installs the modules.
  std::unique_ptr<ui::Button> InstallButton;
  ui::Button DeleteButton;
  ui::Label Status;

 private:
  std::string display_name_;
  bool modules_installed_ = false;
};

}  // namespace vl4
