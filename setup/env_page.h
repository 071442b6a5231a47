// The controls of one environment page of the setup window: where the IDE's executable is, the
// Browse, Install and Delete buttons, and the page's status line.
#pragma once

#include <memory>

#include "ui/controls.h"

namespace vl4 {

struct EnvRow;

struct EnvPage {
  EnvPage(ui::PageControl& pages, const EnvRow& row);

  // The page itself or one of its buttons.
  bool Owns(const ui::Control* control) const;
  bool StatusRed() const;
  // The Install button's caption is the row's modules-installed mark: it names "Delete " once
  // the status refresh found the IDE.
  bool ModulesInstalled() const;

  ui::TabSheet Sheet;
  ui::Label CaptionLabel;
  ui::Edit PathEdit;
  ui::Button BrowseButton;
  // Only the rows whose modules are installed into the IDE have one. It is never shown: its
  // caption is the row's modules-installed mark and its action installs the modules.
  std::unique_ptr<ui::Button> InstallButton;
  ui::Button DeleteButton;
  ui::Label Status;
};

}  // namespace vl4
