// The headless backend: the responder, modal forms driven by callbacks, virtual time, the main
// loop, the text rendering and the script format.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/render.h"
#include "ui/headless/script.h"
#include "ui/headless/testing.h"
#include "ui/headless/text_metrics.h"

namespace vl4::ui {
namespace {

using testing::HeadlessUi;

// A dialog in the shape of the user name dialog: an edit of at most 25 characters, OK enabled
// while it is not empty, and a refusal (with an error box) of a name of one character.
class NameDialog : public Form {
 public:
  explicit NameDialog(Application& app) : Form(app, "NameDialog") {
    SetCaption("Creation of the results file");
    Prompt.SetCaption("Enter user data:");
    Name.SetMaxLength(25);
    Name.OnChange = [this](Control&) { OK.SetEnabled(!Name.Text().empty()); };
    OK.SetCaption("OK");
    OK.SetDefault(true);
    OK.SetModalResult(ModalResult::kOK);
    Cancel.SetCaption("Cancel");
    Cancel.SetCancel(true);
    Cancel.SetModalResult(ModalResult::kCancel);
    OnCloseQuery = [this](Control&, bool& can_close) {
      if (GetModalResult() == ModalResult::kOK && Name.Text().size() == 1) {
        App().MessageDlg("A name of one letter is too short.", MsgKind::kError, MsgButtons::kOK);
        can_close = false;
      }
    };
  }
  Label Prompt{this, "Label1"};
  Edit Name{this, "Edit1"};
  Button OK{this, "Button1"};
  Button Cancel{this, "Button2"};
};

// A main window that asks before it closes, with an automatic start on a 200 ms timer.
class MainWindow : public Form {
 public:
  explicit MainWindow(Application& app) : Form(app, "MainWindow") {
    SetCaption("Main");
    Start.SetCaption("Start");
    Start.OnClick = [this](Control&) { ++starts; };
    AutoStart.SetEnabled(false);
    AutoStart.SetInterval(200);
    AutoStart.OnTimer = [this](Control&) {
      AutoStart.SetEnabled(false);
      Start.Click();
    };
    OnCloseQuery = [this](Control&, bool& can_close) {
      can_close = App().MessageDlg("Are you sure you want to exit?", MsgKind::kConfirmation,
                                   MsgButtons::kYesNo) == ModalResult::kYes;
    };
  }
  Button Start{this, "Button4"};
  Timer AutoStart{this, "Timer1"};
  int starts = 0;
};

TEST(HeadlessResponder, AnswersPromptsInOrderAndRecordsThem) {
  HeadlessUi ui;
  ui.app.SetTitle("VL4 Setup");
  ui.backend.ExpectMessage("delete the file results.dat", ModalResult::kNo)
      .ExpectMessage("Could not delete", MsgKind::kError, MsgButtons::kOK, ModalResult::kOK);
  EXPECT_EQ(ui.app.MessageDlg("Are you sure you want to delete the file results.dat?",
                              MsgKind::kConfirmation, MsgButtons::kYesNo),
            ModalResult::kNo);
  EXPECT_EQ(ui.app.MessageDlg("Could not delete the file.\r\nIt is in use.", MsgKind::kError,
                              MsgButtons::kOK),
            ModalResult::kOK);
  EXPECT_EQ(ui.backend.TranscriptText(),
            "message confirmation \"Confirm\" [Yes/No] -> No\n"
            "  | Are you sure you want to delete the file results.dat?\n"
            "message error \"Error\" [OK] -> OK\n"
            "  | Could not delete the file.\n"
            "  | It is in use.\n");
}

TEST(HeadlessResponder, UnexpectedPromptsFailWithTheirFullText) {
  HeadlessBackend backend;  // no handler: failures are thrown
  Application app(backend);
  backend.ExpectMessage("Second", ModalResult::kOK);
  try {
    app.MessageDlg("First line\nsecond line", MsgKind::kWarning, MsgButtons::kOKCancel);
    FAIL() << "no exception";
  } catch (const UnexpectedPrompt& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("warning \"Warning\" [OK/Cancel]"), std::string::npos) << what;
    EXPECT_NE(what.find("| First line\n  | second line"), std::string::npos) << what;
    EXPECT_NE(what.find("next expected: message box containing \"Second\" -> OK"),
              std::string::npos)
        << what;
  }
  EXPECT_FALSE(backend.AllExpectationsMet());  // the unmatched expectation is still pending
  EXPECT_THROW(backend.Verify(), UnexpectedPrompt);

  // Each kind of mismatch is a failure, and the prompt gets its default answer.
  std::vector<std::string> failures;
  backend.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
  struct Case {
    std::function<void()> expect;
    ModalResult answer;
  } cases[] = {
      {[&] {
         backend.ExpectMessage("Sure?", MsgKind::kError, MsgButtons::kYesNo, ModalResult::kYes);
       },
       ModalResult::kYes},  // wrong kind
      {[&] {
         backend.ExpectMessage("Sure?", MsgKind::kConfirmation, MsgButtons::kOKCancel,
                               ModalResult::kOK);
       },
       ModalResult::kYes},  // wrong buttons
      {[&] { backend.ExpectMessage("Sure?", ModalResult::kRepeat); },
       ModalResult::kYes},  // an answer that is no button of the box
      {[&] { backend.ExpectDirectory(std::string("C:\\")); }, ModalResult::kYes},  // wrong prompt
  };
  for (const Case& c : cases) {
    failures.clear();
    c.expect();
    EXPECT_EQ(app.MessageDlg("Sure?", MsgKind::kConfirmation, MsgButtons::kYesNo), c.answer);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("Sure?"), std::string::npos) << failures[0];
    backend.Verify();  // drops what is left
  }
}

TEST(HeadlessResponder, ProgramsGiveUpAnUnscriptedRetryLoop) {
  HeadlessBackend backend;
  Application app(backend);
  backend.AnswerUnexpectedWithDefaults();
  int asked = 0;
  while (app.MessageDlg("Could not update the file.", MsgKind::kWarning, MsgButtons::kRepeatNext) ==
         ModalResult::kRepeat) {
    ASSERT_LT(++asked, 100);
  }
  EXPECT_EQ(asked, HeadlessBackend::kDefaultAnswerRepeats);
  const std::string t = backend.TranscriptText();
  EXPECT_EQ(t.substr(0, t.find('\n', t.find('\n') + 1) + 1),
            "unscripted: unexpected message box warning \"Warning\" [Repeat/Next]\n"
            "  | Could not update the file.\n");
  EXPECT_NE(t.find("[Repeat/Next] -> Repeat (default)\n"), std::string::npos);
  EXPECT_NE(t.find("-> Next (default; the same box came back too often: its last button)"),
            std::string::npos);
}

TEST(HeadlessModalForms, CallbacksActOnTheFormUntilItCloses) {
  HeadlessUi ui;
  NameDialog dialog(ui.app);
  ui.backend
      .ExpectForm("NameDialog",
                  [](Form& f) {
                    auto& d = static_cast<NameDialog&>(f);
                    EXPECT_TRUE(d.Visible());
                    d.Name.UserSetText("");
                    EXPECT_FALSE(d.OK.Enabled());
                    d.PressKey(kKeyReturn);  // the default button is disabled: nothing happens
                    d.Name.UserSetText("A");
                    d.OK.Click();  // refused by the close query, with an error box
                  })
      .ExpectMessage("too short", ModalResult::kOK)
      .ExpectForm("NameDialog", [](Form& f) {
        auto& d = static_cast<NameDialog&>(f);
        d.Name.UserSetText("Anna Maria Lee of Highgate and Hampstead");
        d.PressKey(kKeyReturn);
      });
  EXPECT_EQ(dialog.ShowModal(), ModalResult::kOK);
  EXPECT_EQ(dialog.Name.Text(), "Anna Maria Lee of Highgat");
  EXPECT_FALSE(dialog.Visible());

  ui.backend.ExpectForm("NameDialog", ModalResult::kCancel);
  EXPECT_EQ(dialog.ShowModal(), ModalResult::kCancel);
}

TEST(HeadlessModalForms, UnexpectedOrStubbornFormsEndWithoutHanging) {
  HeadlessBackend backend;
  Application app(backend);
  std::vector<std::string> failures;
  backend.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });

  NameDialog dialog(app);
  dialog.Name.SetText("Ann");
  EXPECT_EQ(dialog.ShowModal(), ModalResult::kOK);  // the user accepts with Enter
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("unexpected modal form NameDialog \"Creation of the results file\"\n"
                             "NameDialog \"Creation of the results file\" (modal)\n"
                             "  Label1 \"Enter user data:\""),
            std::string::npos)
      << failures[0];

  // A form that never agrees to close (the progress window's shape) still ends.
  Form stubborn(app, "Stubborn");
  stubborn.OnCloseQuery = [](Control&, bool& can_close) { can_close = false; };
  failures.clear();
  EXPECT_EQ(stubborn.ShowModal(), ModalResult::kCancel);
  EXPECT_EQ(failures.size(), 1u);
  EXPECT_NE(backend.TranscriptText().find("modal Stubborn refused to close; it ends with Cancel"),
            std::string::npos);
}

TEST(HeadlessModalForms, ActivationRepeatsAfterABoxAndTerminationEndsTheLoop) {
  HeadlessUi ui;
  // The progress window's shape: its run starts on the first activation, tells the user
  // something, and ends the application; it never agrees to close.
  Form progress(ui.app, "Progress");
  int activations = 0, runs = 0;
  progress.OnCloseQuery = [](Control&, bool& can_close) { can_close = false; };
  progress.OnActivate = [&](Control&) {
    ++activations;
    if (runs++ > 0) return;
    ui.app.MessageDlg("Installed.", MsgKind::kInformation, MsgButtons::kOK);
    ui.app.Terminate();
  };
  ui.backend.ExpectMessage("Installed.", ModalResult::kOK);
  EXPECT_EQ(progress.ShowModal(), ModalResult::kCancel);
  EXPECT_EQ(activations, 2);
  EXPECT_TRUE(ui.app.Terminated());
}

TEST(HeadlessTranscript, AShownProgressBarIsNotedByTenths) {
  HeadlessUi ui;
  Form progress(ui.app, "Progress");
  ProgressBar bar(&progress, "Bar");
  bar.SetRange(0, 155);
  bar.SetPosition(40);  // not shown yet: nothing to see
  progress.Show();
  for (int position : {41, 45, 50, 100, 101, 155, 0}) bar.SetPosition(position);
  std::vector<std::string> notes;
  for (const std::string& entry : ui.backend.Transcript()) {
    if (entry.rfind("progress ", 0) == 0) notes.push_back(entry);
  }
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "progress Progress.Bar 41/155", "progress Progress.Bar 50/155",
                       "progress Progress.Bar 100/155", "progress Progress.Bar 155/155",
                       "progress Progress.Bar 0/155"}));
}

TEST(HeadlessTime, TimersFireOnVirtualTimeOnly) {
  HeadlessUi ui;
  MainWindow main(ui.app);
  Timer ticker(&main, "Ticker");
  ticker.SetInterval(300);
  std::vector<uint64_t> ticks;
  ticker.OnTimer = [&](Control&) { ticks.push_back(ui.backend.Now()); };
  main.AutoStart.SetEnabled(true);
  ui.backend.AdvanceTime(199);
  EXPECT_EQ(main.starts, 0);
  ui.backend.AdvanceTime(800);
  EXPECT_EQ(main.starts, 1);  // the automatic start disables its timer on its first tick
  EXPECT_EQ(ticks, (std::vector<uint64_t>{300, 600, 900}));

  ticker.SetEnabled(false);
  EXPECT_EQ(ui.backend.FireTimers(), 0);
  ticker.SetEnabled(true);
  EXPECT_EQ(ui.backend.FireTimers(), 1);
  EXPECT_EQ(ticks.back(), 999u);
}

TEST(HeadlessRun, ClosesTheMainFormWhenNothingIsLeft) {
  HeadlessUi ui;
  MainWindow main(ui.app);
  main.OnShow = [&](Control&) { main.AutoStart.SetEnabled(true); };
  ui.backend.QueueAction([](Form& f) { static_cast<MainWindow&>(f).Start.Click(); });
  ui.backend.ExpectMessage("Are you sure", ModalResult::kNo)
      .QueueAction([](Form& f) { f.Close(); })
      .ExpectMessage("Are you sure", ModalResult::kYes);
  ui.app.Run(main);
  // The scripted click, then the timer's start once the program was idle, then two closes.
  EXPECT_EQ(main.starts, 2);
  EXPECT_EQ(ui.backend.Now(), 200u);
  EXPECT_TRUE(ui.app.Terminated());
  EXPECT_FALSE(main.Visible());
  const std::string t = ui.backend.TranscriptText();
  EXPECT_EQ(t.substr(t.rfind("\nrun:") + 1), "run: the application ended\n");
}

TEST(HeadlessRun, ARefusedCloseWithNothingScriptedEndsTheLoop) {
  HeadlessUi ui;
  MainWindow main(ui.app);
  ui.backend.ExpectMessage("Are you sure", ModalResult::kNo);
  ui.app.Run(main);
  EXPECT_TRUE(main.Visible());
  EXPECT_NE(ui.backend.TranscriptText().find(
                "run: MainWindow refused to close and nothing else is scripted"),
            std::string::npos);

  // A program that ended during its start-up never shows its main window.
  HeadlessUi ended;
  MainWindow early(ended.app);
  ended.app.Terminate();
  ended.app.Run(early);
  EXPECT_FALSE(early.Visible());
  EXPECT_EQ(ended.backend.TranscriptText(), "run: the application ended before its message loop\n");
}

// Every control kind, as the text rendering shows it.
class Showcase : public Form {
 public:
  explicit Showcase(Application& app) : Form(app, "Showcase") {
    SetCaption("VL4 Setup");
    Header.SetBounds(0, 0, 400, 30);
    Header.SetCaption("Working directory setup");
    Pages.SetBounds(0, 30, 400, 200);
    Pages.SetActivePage(&Work);
    Other.SetCaption("Not shown");
    Path.SetBounds(10, 10, 200, 20);
    Path.SetText("C:\\VL4Work");
    Path.SetHint("C:\\VL4Work\\long");
    PathLabel.SetBounds(10, 0, 100, 10);
    PathLabel.SetCaption("Working directory:");
    Change.SetBounds(220, 10, 80, 20);
    Change.SetCaption("Change [F5]");
    Change.SetDefault(true);
    Environments.SetBounds(10, 40, 200, 20);
    for (const char* e : {"Borland Delphi 7", "Microsoft Visual Basic 6"}) Environments.AddItem(e);
    Environments.SetItemIndex(1);
    Status.SetBounds(10, 170, 380, 30);
    Status.SetCaption("\r\nSelect a work environment.");
    Status.SetFontColor(kRed);
    Samples.SetBounds(10, 70, 200, 20);
    Samples.SetCaption("Copy sample files");
    Samples.SetEnabled(false);
    List.SetBounds(0, 240, 200, 60);
    List.AddItem("Borland Delphi 7");
    List.AddItem("Lazarus");
    List.SetChecked(0, true);
    List.SetItemIndex(1);
    Local.SetBounds(220, 240, 150, 20);
    Local.SetCaption("Use a local directory");
    Local.SetChecked(true);
    Bottom.SetBounds(0, 310, 400, 40);
    Progress.SetBounds(5, 5, 390, 10);
    Progress.SetRange(0, 155);
    Progress.SetPosition(45);
    Line.SetBounds(0, 305, 400, 2);
    Text.SetBounds(0, 360, 400, 40);
    Text.SetLines({"First paragraph.", "- an item"});
    for (const char* page : {"Veltoria setup for available IDEs", "Working directory setup"}) {
      MenuItem& item = Menu.Add(page);
      item.SetRadioItem(true);
      item.SetTag(Menu.Count());
    }
    Menu.Item(1).SetChecked(true);
    SetPopupMenu(&Menu);
    SetActiveControl(&Change);
  }
  Label Header{this, "Header"};
  PageControl Pages{this, "Pages"};
  TabSheet Other{&Pages, "Other"};
  TabSheet Work{&Pages, "Work"};
  Button Hidden{&Other, "Hidden"};
  Edit Path{&Work, "Path"};
  Label PathLabel{&Work, "PathLabel"};
  Button Change{&Work, "Change"};
  ComboBox Environments{&Work, "Environments"};
  Label Status{&Work, "Status"};
  Button Samples{&Work, "Samples"};
  Label Empty{&Work, "Empty"};
  CheckListBox List{this, "List"};
  CheckBox Local{this, "Local"};
  Panel Bottom{this, "Bottom"};
  ProgressBar Progress{&Bottom, "Progress"};
  Bevel Line{this, "Line"};
  Memo Text{this, "Text"};
  Timer Tick{this, "Tick"};
  PopupMenu Menu{this, "Menu"};
};

TEST(HeadlessRendering, ShowsTheVisibleControlsInReadingOrder) {
  HeadlessUi ui;
  Showcase form(ui.app);
  EXPECT_EQ(RenderForm(form),
            "Showcase \"VL4 Setup\" (hidden)\n"
            "  Header \"Working directory setup\"\n"
            "  Pages\n"
            "    Work\n"
            "      PathLabel \"Working directory:\"\n"
            "      Path [C:\\VL4Work] hint \"C:\\VL4Work\\long\"\n"
            "      Change [Change [F5]] (default) (focused)\n"
            "      Environments <Microsoft Visual Basic 6> of: Borland Delphi 7 | Microsoft "
            "Visual Basic 6\n"
            "      Samples [Copy sample files] (disabled)\n"
            "      Status \"\\nSelect a work environment.\" {red}\n"
            "  List\n"
            "      [x] Borland Delphi 7\n"
            "    > [ ] Lazarus\n"
            "  Local [x] Use a local directory\n"
            "  Line ----\n"
            "  Bottom\n"
            "    Progress 45 of 0..155\n"
            "  Text\n"
            "    | First paragraph.\n"
            "    | - an item\n"
            "  menu Menu\n"
            "    ( ) Veltoria setup for available IDEs  #1\n"
            "    (*) Working directory setup  #2");
}

TEST(HeadlessText, WidthsComeFromAFixedTableScaledByHeight) {
  HeadlessBackend backend;
  Font arial{"Arial", 16};
  EXPECT_EQ(backend.TextWidth(arial, "Hello"), 36);  // (722+556+222+222+556) * 16 / 1000
  EXPECT_EQ(backend.TextWidth(arial, ""), 0);
  EXPECT_LT(backend.TextWidth(arial, "iiii"), backend.TextWidth(arial, "WWWW"));
  Font bold = arial;
  bold.bold = true;
  EXPECT_GT(backend.TextWidth(bold, "Hello"), 36);
  arial.height = 32;
  EXPECT_EQ(backend.TextWidth(arial, "Hello"), 73);
}

TEST(HeadlessDialogs, DirectoryChooserAsksBeforeCreatingATypedDirectory) {
  HeadlessUi ui;
  std::vector<std::string> created;
  DirectoryRequest request{"Select the working directory", "C:\\", true,
                           [](const std::string& path) { return path == "C:\\Old"; },
                           [&](const std::string& path) {
                             created.push_back(path);
                             return true;
                           }};
  ui.backend.ExpectDirectory(std::string("C:\\Old"))
      .ExpectDirectory(std::string("C:\\New"))
      .ExpectMessage("\"C:\\New\" does not exist", ModalResult::kYes)
      .ExpectDirectory(std::string("D:\\Other"))
      .ExpectMessage("does not exist", ModalResult::kNo)  // the chooser stays open ...
      .ExpectDirectory(std::string("C:\\Old"))            // ... for another choice
      .ExpectDirectory(std::nullopt)
      .ExpectDirectory(std::string("E:\\Gone"))
      .ExpectMessage("does not exist", ModalResult::kNo);  // with none, it is cancelled
  EXPECT_EQ(ui.backend.SelectDirectory(request), "C:\\Old");
  EXPECT_EQ(ui.backend.SelectDirectory(request), "C:\\New");
  EXPECT_EQ(created, (std::vector<std::string>{"C:\\New"}));
  EXPECT_EQ(ui.backend.SelectDirectory(request), "C:\\Old");
  EXPECT_EQ(ui.backend.SelectDirectory(request), std::nullopt);
  EXPECT_EQ(ui.backend.SelectDirectory(request), std::nullopt);

  request.allow_create = false;  // a chooser without creation takes the path as typed
  ui.backend.ExpectDirectory(std::string("F:\\Typed"));
  EXPECT_EQ(ui.backend.SelectDirectory(request), "F:\\Typed");
}

TEST(HeadlessScript, DrivesPromptsModalFormsAndTheMainForm) {
  HeadlessUi ui;
  MainWindow main(ui.app);
  NameDialog dialog(ui.app);
  Edit path(&main, "Path");
  CheckListBox list(&main, "List");
  ComboBox combo(&main, "Combo");
  PopupMenu menu(&main, "Menu");
  for (const char* e : {"Borland Delphi 7", "Microsoft Visual Basic 6"}) {
    list.AddItem(e);
    combo.AddItem(e);
  }
  list.SetChecked(1, true);
  std::string chosen_item;
  menu.Add("Working directory setup").OnClick = [&](MenuItem& m) { chosen_item = m.Caption(); };
  main.SetPopupMenu(&menu);
  main.SetKeyPreview(true);
  std::vector<uint16_t> keys;
  main.OnKeyDown = [&](Control&, uint16_t& key, unsigned) { keys.push_back(key); };
  ModalResult dialog_result = ModalResult::kNone;
  std::optional<std::string> directory;
  main.Start.OnClick = [&](Control&) {
    directory = ui.backend.SelectDirectory({"Select", "C:\\", false, {}, {}});
    dialog_result = dialog.ShowModal();
  };
  ui.backend.LoadScript(
      "# a session\n"
      "set Path \"C:\\Program Files\\VL4\"\n"
      "MainWindow: check List \"Borland Delphi 7\"\r\n"
      "uncheck List \"Microsoft Visual Basic 6\"\n"
      "select Combo \"Microsoft Visual Basic 6\"\n"
      "menu \"Working directory setup\"\n"
      "key F4\n"
      "  wait 50\n"
      "click Start\n"
      "directory \"D:\\Work \"\"quoted\"\"\"\n"
      "NameDialog: set Edit1 \"Ann Lee\"\n"
      "NameDialog: click OK\n"
      "render\n"
      "close\n"
      "message \"Are you sure\" confirmation YesNo => yes\n",
      "session.txt");
  ui.app.Run(main);
  EXPECT_EQ(path.Text(), "C:\\Program Files\\VL4");
  EXPECT_TRUE(list.Checked(0));
  EXPECT_FALSE(list.Checked(1));
  EXPECT_EQ(combo.Text(), "Microsoft Visual Basic 6");
  EXPECT_EQ(chosen_item, "Working directory setup");
  EXPECT_EQ(keys, (std::vector<uint16_t>{kKeyF4}));
  EXPECT_EQ(ui.backend.Now(), 50u);
  EXPECT_EQ(directory, "D:\\Work \"quoted\"");
  EXPECT_EQ(dialog_result, ModalResult::kOK);
  EXPECT_EQ(dialog.Name.Text(), "Ann Lee");
  EXPECT_TRUE(ui.app.Terminated());
  const std::string t = ui.backend.TranscriptText();
  EXPECT_NE(t.find("action: session.txt:12: NameDialog: click OK\n"), std::string::npos) << t;
  EXPECT_NE(t.find("MainWindow \"Main\"\n  Button4 [Start]"), std::string::npos) << t;
}

TEST(HeadlessScript, FindsControlsByCaptionPreferringReachableOnes) {
  HeadlessUi ui;
  Form form(ui.app, "Setup");
  PageControl pages(&form, "Pages");
  TabSheet first(&pages, "First"), second(&pages, "Second");
  Button browse1(&first, "Button1"), browse2(&second, "Button2");
  int clicks1 = 0, clicks2 = 0;
  browse1.SetCaption("&Browse [F8]");
  browse2.SetCaption("&Browse [F8]");
  browse1.OnClick = [&](Control&) { ++clicks1; };
  browse2.OnClick = [&](Control&) { ++clicks2; };
  pages.SetActivePage(&second);
  ui.backend.LoadScript("click \"Browse [F8]\"\n");
  form.Show();
  ui.backend.Run(form);
  EXPECT_EQ(clicks1, 0);
  EXPECT_EQ(clicks2, 1);

  // A line that names what the form does not have fails with the line.
  HeadlessBackend backend;
  Application app(backend);
  Form setup(app, "Setup");
  Button hidden(&setup, "Button1");
  hidden.SetVisible(false);
  backend.LoadScript("click Button1\nset Nothing \"x\"\n", "bad.txt");
  std::vector<std::string> failures;
  backend.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
  app.Run(setup);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "bad.txt:1: click Button1: Button1 is disabled or hidden");
  EXPECT_EQ(failures[1], "bad.txt:2: set Nothing \"x\": no control \"Nothing\" on Setup");
}

TEST(HeadlessScript, BadLinesAreRejectedWithTheirNumber) {
  const struct {
    const char* line;
    const char* error;
  } cases[] = {
      {"clik OK", "s:2: unknown action \"clik\""},
      {"message \"x\" => Maybe", "s:2: unknown answer \"Maybe\""},
      {"message \"x\" error sometimes => OK", "s:2: unknown message box kind or buttons"},
      {"message \"x\" => OK Cancel", "s:2: expected \"=> <answer>\""},
      {"message \"x\" OK", "s:2: expected: message \"<text>\""},
      {"set Edit1 \"unterminated", "s:2: a text is missing its closing double quote"},
      {"key F13", "s:2: unknown key \"F13\""},
      {"wait soon", "s:2: expected: wait <milliseconds>"},
      {"Form1:", "s:2: an action must follow the form name"},
      {"directory", "s:2: expected: directory \"<path>\" | cancel"},
  };
  for (const auto& c : cases) {
    HeadlessBackend backend;
    try {
      backend.LoadScript(std::string("# fine\n") + c.line + "\n", "s");
      ADD_FAILURE() << "accepted: " << c.line;
    } catch (const ScriptError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.error, 0), 0u) << e.what();
    }
  }
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

TEST(HeadlessScript, ProgramsTakeTheirScriptAndTranscriptFromTheEnvironment) {
  const auto dir = std::filesystem::temp_directory_path() / "vl4_ui_headless_env";
  std::filesystem::create_directories(dir);
  const auto script = dir / "script.txt", transcript = dir / "transcript.txt";
  std::ofstream(script) << "set Edit1 \"Ann\"\nclick OK\n";
  SetEnv("VL4_UI_SCRIPT", script.string());
  SetEnv("VL4_UI_TRANSCRIPT", transcript.string());
  SetEnv("VL4_UI_RENDER", "0");
  {
    std::unique_ptr<HeadlessBackend> backend = HeadlessBackend::FromEnvironment();
    Application app(*backend);
    NameDialog dialog(app);
    EXPECT_EQ(dialog.ShowModal(), ModalResult::kOK);
    EXPECT_EQ(dialog.Name.Text(), "Ann");
    // Unscripted, the program goes on with the default answer.
    EXPECT_EQ(app.MessageDlg("Continue?", MsgKind::kConfirmation, MsgButtons::kYesNo),
              ModalResult::kYes);
  }
  SetEnv("VL4_UI_SCRIPT", "");
  SetEnv("VL4_UI_TRANSCRIPT", "");
  std::stringstream written;
  written << std::ifstream(transcript).rdbuf();
  const std::string s = script.string();
  EXPECT_EQ(written.str(),
            "modal NameDialog \"Creation of the results file\"\n"
            "action: " +
                s +
                ":1: set Edit1 \"Ann\"\n"
                "action: " +
                s +
                ":2: click OK\n"
                "modal NameDialog -> OK\n"
                "unscripted: unexpected message box confirmation \"Confirm\" [Yes/No]\n"
                "  | Continue?\n"
                "next expected: nothing more\n"
                "message confirmation \"Confirm\" [Yes/No] -> Yes (default)\n"
                "  | Continue?\n");
  std::filesystem::remove_all(dir);
}

// A program and the program it starts share one environment; each takes its own variables first.
TEST(HeadlessScript, AProgramsOwnVariablesComeFirst) {
  const auto dir = std::filesystem::temp_directory_path() / "vl4_ui_headless_own";
  std::filesystem::create_directories(dir);
  const auto shared = dir / "shared.txt", own = dir / "own.txt", transcript = dir / "inst.txt";
  std::ofstream(shared) << "message \"Continue?\" => No\n";
  std::ofstream(own) << "message \"Continue?\" => Yes\n";
  SetEnv("VL4_UI_SCRIPT", shared.string());
  SetEnv("VL4_UI_SCRIPT_INST", own.string());
  SetEnv("VL4_UI_TRANSCRIPT_INST", transcript.string());
  for (const char* program : {"Inst.exe", "VL4Setup.exe"}) {
    std::unique_ptr<HeadlessBackend> backend = HeadlessBackend::FromEnvironment(program);
    backend->SetTranscriptSink(nullptr);
    Application app(*backend);
    EXPECT_EQ(app.MessageDlg("Continue?", MsgKind::kConfirmation, MsgButtons::kYesNo),
              std::string(program) == "Inst.exe" ? ModalResult::kYes : ModalResult::kNo)
        << program;
  }
  for (const char* name : {"VL4_UI_SCRIPT", "VL4_UI_SCRIPT_INST", "VL4_UI_TRANSCRIPT_INST"}) {
    SetEnv(name, "");
  }
  std::filesystem::remove_all(dir);
}

TEST(HeadlessTesting, NeverMetExpectationsFailTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        HeadlessUi ui;
        ui.backend.ExpectMessage("never shown", ModalResult::kOK);
      },
      "expected but never happened:\n  message box containing \"never shown\" -> OK");
}

}  // namespace
}  // namespace vl4::ui
