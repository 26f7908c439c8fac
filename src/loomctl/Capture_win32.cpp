// loomctl capture ANSWERS [--dry-run] [--log FILE]: the wizard's capture
// without a window. The decisions are the core's (answers, scan command
// lines and judgements, the pages' edits, the build plan); this file runs the
// processes, keeps the temporary files and tells the user what happens.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "app/Branding.h"
#include "app/Origin.h"
#include "app/Settings.h"
#include "build/BuildOutputText.h"
#include "build/BuildPlan.h"
#include "build/BuildRun_win32.h"
#include "capture/Answers.h"
#include "capture/CaptureState.h"
#include "capture/PipeReader_win32.h"
#include "capture/ScanCommands.h"
#include "capture/ScanLocations.h"
#include "capture/ScanTool.h"
#include "capture/ToolLineDecoder.h"
#include "capture/ToolRunner.h"
#include "framework/Resources.h"
#include "framework/WinText.h"
#include "loomctl/Console.h"
#include "macros/FolderMacros.h"
#include "macros/FolderPlatform.h"
#include "options/BasePackage_win32.h"
#include "project/IniDocument.h"
#include "project/LocationPlatform_win32.h"
#include "resources/RefusalStrings.h"
#include "util/FileIo.h"
#include "util/PathRules.h"
#include "util/Text.h"
#include "wizard/Steps.h"

namespace loomctl {

const char16_t kCaptureUsage[] =
    u"  loomctl capture ANSWERS [--dry-run] [--log FILE]   (Windows)\n"
    u"  loomctl answers PROJECT-FOLDER\n"
    u"  loomctl report PROJECT-FOLDER [-o FILE]\n";

namespace {

using loom::ToU16;
using loom::ToWide;

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  g_interrupted = true;
  return TRUE;  // the capture stops its tool and cleans up itself
}

// What the reader threads hand to the main thread.
struct Pending {
  std::mutex lock;
  std::vector<std::pair<loom::ToolLineKind, std::u16string>> lines;  // scan tool: classified lines
  std::string raw;                                                   // build tools: their bytes
} g_pending;

DWORD WINAPI LineReader(void* param) {
  std::unique_ptr<loom::ReaderContext> ctx(static_cast<loom::ReaderContext*>(param));
  loom::ReadPipeLines(ctx->readEnd, [](loom::ToolLineKind kind, const char16_t* text, size_t length) {
    std::lock_guard<std::mutex> hold(g_pending.lock);
    g_pending.lines.emplace_back(kind, std::u16string(text, length));
  });
  ::CloseHandle(ctx->readEnd);
  return 0;
}

DWORD WINAPI RawReader(void* param) {
  std::unique_ptr<loom::ReaderContext> ctx(static_cast<loom::ReaderContext*>(param));
  loom::ReadPipeBytes(ctx->readEnd, [](const char* bytes, size_t count) {
    std::lock_guard<std::mutex> hold(g_pending.lock);
    g_pending.raw.append(bytes, count);
  });
  ::CloseHandle(ctx->readEnd);
  return 0;
}

// Standard output (with the latest info line rewritten in place on a
// console, at most two lines a second otherwise) and the log file.
class Output {
 public:
  explicit Output(FILE* log) : log_(log), console_(IsConsole(stdout)) {}

  void Line(const std::u16string& text) {
    ClearStatus();
    Write(stdout, text + u"\n");
    Log(text);
  }
  void Log(const std::u16string& text) {
    if (!log_) return;
    const std::string bytes = loom::Utf16ToUtf8(text + u"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), log_);
    std::fflush(log_);
  }
  void Status(const std::u16string& text) {
    if (text == status_) return;
    status_ = text;
    if (console_) {
      std::u16string shown = text.substr(0, 78);
      Write(stdout,
            u"\r  " + shown + std::u16string(statusWidth_ > shown.size() ? statusWidth_ - shown.size() : 0, u' '));
      statusWidth_ = shown.size();
      return;
    }
    const ULONGLONG now = ::GetTickCount64();
    if (now - lastStatus_ < 500) return;  // the next change after the pause is shown
    lastStatus_ = now;
    Write(stdout, u"  " + text + u"\n");
  }
  // Build output as it comes (line ends as the tool writes them).
  void Raw(const std::u16string& text) {
    ClearStatus();
    Write(stdout, text);
    if (log_) {
      const std::string bytes = loom::Utf16ToUtf8(text);
      std::fwrite(bytes.data(), 1, bytes.size(), log_);
    }
  }
  void ClearStatus() {
    if (console_ && statusWidth_) Write(stdout, u"\r" + std::u16string(statusWidth_ + 2, u' ') + u"\r");
    statusWidth_ = 0;
    status_.clear();
  }

 private:
  FILE* log_;
  bool console_;
  std::u16string status_;
  size_t statusWidth_ = 0;
  ULONGLONG lastStatus_ = 0;
};

std::u16string Seconds(ULONGLONG ms) {
  return loom::DecimalText(static_cast<long long>(ms / 1000)) + u"." +
         loom::DecimalText(static_cast<long long>(ms % 1000 / 100)) + u" s";
}

// The wizard's words for a refusal, on one line.
std::u16string Message(loom::Refusal reason) {
  std::u16string text = ToU16(loom::LoadResString(loom::RefusalString(reason)));
  for (char16_t& c : text)
    if (c == u'\r' || c == u'\n') c = u' ';
  std::u16string single;
  for (char16_t c : text)
    if (!(c == u' ' && !single.empty() && single.back() == u' ')) single += c;
  return single;
}

std::u16string RefusalText(const std::u16string& file, const loom::AnswersRefusal& r) {
  std::u16string where = file;
  if (r.line) where += u":" + loom::DecimalText(r.line);
  std::u16string what = r.reason != loom::Refusal::None ? Message(r.reason) : std::u16string();
  if (!r.text.empty()) what += (what.empty() ? u"" : u" (") + r.text + (what.empty() ? u"" : u")");
  std::u16string name = r.section.empty() ? u"" : u"[" + r.section + u"]" + (r.key.empty() ? u"" : u" " + r.key);
  return where + u": " + name + (name.empty() ? u"" : u": ") + what;
}

class Capture {
 public:
  Capture(const loom::Answers& a, const loom::Origin& origin, std::u16string answersPath, FILE* log)
      : a_(a), origin_(origin), answersPath_(std::move(answersPath)), out_(log) {}
  ~Capture() { Cleanup(); }

  int Run(bool dryRun);

 private:
  enum class Ended { Done, Failed, Interrupted, TimedOut };
  // Runs one tool to its end, showing its lines; `raw` for the build tools.
  Ended RunToolStep(const std::wstring& commandLine, bool raw, DWORD* exitCode);
  Ended RunInstaller(DWORD* exitCode);
  void DrainOutput(bool raw);
  bool ScanStep(int step, const char16_t* name, const std::wstring& commandLine, const std::wstring& result);
  int StepFailed(const std::u16string& what);
  void StepDone(const char16_t* name, ULONGLONG started);
  void Cleanup();

  const loom::Answers& a_;
  const loom::Origin& origin_;
  std::u16string answersPath_;
  Output out_;
  int stepNumber_ = 0, stepCount_ = 0;
  std::u16string errors_;
  bool warnings_ = false;
  std::wstring redirectList_;
  std::string rawCarry_;  // an odd byte of a build tool's output, waiting for its partner
};

void Capture::Cleanup() {
  loom::StopTool();
  loom::CaptureState& st = loom::State();
  for (const std::wstring* path : {&st.startSnapshotPath, &st.endSnapshotPath, &st.workingProjectPath, &redirectList_})
    if (!path->empty()) loom::DeleteExistingFile(*path);
}

void Capture::DrainOutput(bool raw) {
  std::vector<std::pair<loom::ToolLineKind, std::u16string>> lines;
  std::string bytes;
  {
    std::lock_guard<std::mutex> hold(g_pending.lock);
    lines.swap(g_pending.lines);
    bytes.swap(g_pending.raw);
  }
  if (raw && !bytes.empty()) {
    // The build tools write UTF-16LE; an odd byte waits for its partner.
    rawCarry_ += bytes;
    size_t even = rawCarry_.size() & ~size_t(1);
    out_.Raw(loom::FromUtf16LeBytes(rawCarry_.data(), even));
    rawCarry_.erase(0, even);
  }
  for (auto& [kind, text] : lines) {
    switch (kind) {
      case loom::ToolLineKind::Info:
        out_.Status(text.size() >= 2 && text[0] == u'>' && text[1] == u' ' ? text.substr(2) : text);
        out_.Log(u"  " + text);
        break;
      case loom::ToolLineKind::Warning:
        warnings_ = true;
        out_.Line(u"  warning: " + text);
        break;
      case loom::ToolLineKind::Error:
        if (!errors_.empty()) errors_ += u"\n";
        errors_ += text;
        out_.Line(u"  error: " + text);
        break;
    }
  }
}

Capture::Ended Capture::RunToolStep(const std::wstring& commandLine, bool raw, DWORD* exitCode) {
  out_.Log(u"command: " + ToU16(commandLine));
  errors_.clear();
  rawCarry_.clear();
  if (!loom::RunTool(commandLine, nullptr, raw ? RawReader : LineReader)) {
    errors_ = u"cannot start: " + ToU16(commandLine);
    return Ended::Failed;
  }
  for (;;) {
    if (g_interrupted) {
      loom::StopTool();
      DrainOutput(raw);
      return Ended::Interrupted;
    }
    DrainOutput(raw);
    if (!loom::IsToolRunning(exitCode)) break;
    ::Sleep(50);
  }
  DrainOutput(raw);
  out_.ClearStatus();
  return Ended::Done;
}

Capture::Ended Capture::RunInstaller(DWORD* exitCode) {
  out_.Log(u"command: " + a_.install);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::wstring commandLine = ToWide(a_.install);
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    errors_ = u"cannot start the installer: " + a_.install + u" (error " + loom::DecimalText(::GetLastError()) + u")";
    return Ended::Failed;
  }
  ::CloseHandle(pi.hThread);
  const ULONGLONG started = ::GetTickCount64(), limit = ULONGLONG(a_.installTimeout) * 1000;
  Ended ended = Ended::Done;
  while (::WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
    if (g_interrupted || ::GetTickCount64() - started >= limit) {
      ended = g_interrupted ? Ended::Interrupted : Ended::TimedOut;
      ::TerminateProcess(pi.hProcess, 1);
      ::WaitForSingleObject(pi.hProcess, 10000);
      break;
    }
    out_.Status(u"installing, " + Seconds(::GetTickCount64() - started));
  }
  ::GetExitCodeProcess(pi.hProcess, exitCode);
  ::CloseHandle(pi.hProcess);
  out_.ClearStatus();
  return ended;
}

void Capture::StepDone(const char16_t* name, ULONGLONG started) {
  out_.Line(u"[" + loom::DecimalText(stepNumber_) + u"/" + loom::DecimalText(stepCount_) + u"] " + name + u": " +
            Seconds(::GetTickCount64() - started));
}

int Capture::StepFailed(const std::u16string& what) {
  out_.ClearStatus();
  out_.Log(u"loomctl: " + what);
  Cleanup();
  return Fail(kNotDone, what);
}

bool Capture::ScanStep(int step, const char16_t* name, const std::wstring& commandLine, const std::wstring& result) {
  ++stepNumber_;
  const ULONGLONG started = ::GetTickCount64();
  warnings_ = false;
  DWORD code = 0;
  Ended ended = RunToolStep(commandLine, false, &code);
  if (ended == Ended::Interrupted) return false;
  bool exists = !result.empty() && loom::IsExistingFile(result);
  loom::ToolJudgement j = loom::JudgeToolStep(step, !errors_.empty(), ended == Ended::Done && exists, code, warnings_);
  if (ended == Ended::Failed || !j.success) {
    if (j.failure != loom::ToolFailure::None)
      errors_ = ToU16(loom::ToolFailureText(j.failure, ToWide(errors_), result));
    return false;
  }
  StepDone(name, started);
  return true;
}

int Capture::Run(bool dryRun) {
  loom::CaptureState& st = loom::State();
  std::wstring problem;
  if (!loom::LocateScanTool(st.toolFolder, st.toolName, problem)) return Fail(kNotDone, ToU16(problem));
  st.scanLocations =
      ToWide(a_.locations.value_or(loom::DefaultScanLocations(loom::ExpandFolderMacros(u"%ProgramFilesDir%", false))));
  for (std::wstring* path : {&st.startSnapshotPath, &st.endSnapshotPath})
    if (!loom::TryMakeTempPath(L"snapshot", *path)) return StepFailed(u"cannot create " + ToU16(*path));
  if (!loom::TryMakeTempPath(L"ini", st.workingProjectPath))
    return StepFailed(u"cannot create " + ToU16(st.workingProjectPath));
  const std::u16string folder = ToU16(st.toolFolder), tool = ToU16(st.toolName);
  const std::wstring prescan =
      ToWide(loom::ScanCommand(folder, tool, ToU16(st.startSnapshotPath), ToU16(st.scanLocations)));
  const std::wstring postscan =
      ToWide(loom::ScanCommand(folder, tool, ToU16(st.endSnapshotPath), ToU16(st.scanLocations)));
  stepCount_ = a_.skipBuild ? 6 : 9;

  if (dryRun) {
    out_.Line(u"1 prescan: " + ToU16(prescan));
    out_.Line(u"2 install: " + a_.install);
    out_.Line(u"3 postscan: " + ToU16(postscan));
    out_.Line(u"4 compare: " + loom::SuggestProjectCommand(folder, tool, ToU16(st.startSnapshotPath),
                                                           ToU16(st.endSnapshotPath), ToU16(st.workingProjectPath),
                                                           a_.browser));
    out_.Line(u"5 the pages' choices applied to the working project");
    std::u16string project = a_.location ? loom::NormalFolder(*a_.location) : u"<the proposed location>";
    out_.Line(u"6 generate: " + loom::GenerateProjectCommand(folder, tool, ToU16(st.workingProjectPath), project));
    if (!a_.skipBuild)
      for (int stage = loom::kFirstBuildStage; stage <= loom::kLastBuildStage; ++stage)
        out_.Line(loom::DecimalText(6 + stage) + u" build: " +
                  loom::BuildToolCommand(stage, loom::BuildToolFolder(origin_), u"<OutDir of Package.ini>", project));
    Cleanup();
    return kDone;
  }

  // Prescan, installation, postscan, comparison: as the tool steps judge them.
  if (!ScanStep(loom::StepPrescan, u"prescan", prescan, st.startSnapshotPath))
    return g_interrupted ? StepFailed(u"stopped") : StepFailed(u"prescan failed: " + errors_);
  ++stepNumber_;
  ULONGLONG started = ::GetTickCount64();
  DWORD code = 0;
  switch (RunInstaller(&code)) {
    case Ended::Interrupted: return StepFailed(u"stopped");
    case Ended::TimedOut:
      return StepFailed(u"install failed: the installer did not end within " + loom::DecimalText(a_.installTimeout) +
                        u" s (InstallTimeout); it was ended");
    case Ended::Failed: return StepFailed(u"install failed: " + errors_);
    case Ended::Done: break;
  }
  bool accepted = false;
  for (uint32_t c : a_.installExitCodes) accepted |= c == code;
  if (!accepted)
    return StepFailed(u"install failed: the installer ended with exit code " + loom::DecimalText(code) +
                      u" (InstallExitCodes)");
  StepDone(u"install", started);
  if (code == 3010 || code == 1641)
    out_.Line(u"  the installer says a restart is pending (exit code " + loom::DecimalText(code) + u")");
  if (!ScanStep(loom::StepPostscan, u"postscan", postscan, st.endSnapshotPath))
    return g_interrupted ? StepFailed(u"stopped") : StepFailed(u"postscan failed: " + errors_);
  const std::wstring compare = ToWide(loom::SuggestProjectCommand(
      folder, tool, ToU16(loom::ShortPathOf(st.startSnapshotPath)), ToU16(loom::ShortPathOf(st.endSnapshotPath)),
      ToU16(st.workingProjectPath), a_.browser));
  if (!ScanStep(loom::StepCompare, u"compare", compare, st.workingProjectPath))
    return g_interrupted ? StepFailed(u"stopped") : StepFailed(u"compare failed: " + errors_);

  // The pages' choices.
  ++stepNumber_;
  started = ::GetTickCount64();
  loom::IniDocument doc;
  if (!doc.Load(ToU16(st.workingProjectPath))) return StepFailed(u"cannot read " + ToU16(st.workingProjectPath));
  loom::CaptureContext ctx;
  ctx.qualityReportingPage = loom::QualityReportingEnabled();
  ctx.defaultDeniedMessage = ToU16(loom::LoadResString(IDS_ACCESS_DENIED_DEFAULT));
  ctx.organisation = ToU16(loom::RegisteredOrganization());
  ctx.owner = ToU16(loom::RegisteredOwner());
  ctx.originOrProgramPath = origin_.OriginOrProgramPath();
  if (a_.basePackage && a_.portal.value_or(false)) {
    if (loom::Refusal reason = loom::CheckBasePackage(ToWide(*a_.basePackage), ctx.base); reason != loom::Refusal::None)
      return StepFailed(answersPath_ + u": [Options] BasePackage: " + Message(reason));
  }
  ctx.writeRedirectList = [this](std::u16string_view browser, std::u16string_view list) -> std::u16string {
    std::optional<std::u16string> text = loom::RedirectFileText(browser, list);
    if (!text || !loom::TryMakeTempPath(L"txt", redirectList_)) return {};
    return loom::ReplaceFileContents(ToU16(redirectList_), loom::ToUtf16LeBytes(*text)) ? ToU16(redirectList_) : u"";
  };
  loom::Win32Location platform;
  loom::CaptureChoices choices;
  loom::AnswersRefusal refusal;
  if (!loom::ApplyAnswers(doc, a_, ctx, platform, choices, refusal))
    return StepFailed(RefusalText(answersPath_, refusal));
  if (!doc.Save(ToU16(st.workingProjectPath))) return StepFailed(u"cannot write " + ToU16(st.workingProjectPath));
  StepDone(u"configure", started);

  // Generation.
  const std::wstring project = ToWide(choices.projectFolder);
  const std::wstring generate =
      ToWide(loom::GenerateProjectCommand(folder, tool, ToU16(st.workingProjectPath), choices.projectFolder));
  if (!ScanStep(loom::StepSaveProject, u"generate", generate, L""))
    return g_interrupted ? StepFailed(u"stopped") : StepFailed(u"generate failed: " + errors_);

  // The build, as the build page runs it.
  std::u16string packages;
  if (!a_.skipBuild) {
    const std::wstring outDir = ToWide(loom::NormalOutDir(ToU16(loom::ReadProjectOutDir(project))));
    ::SetCurrentDirectoryW(project.c_str());  // a relative OutDir is below the project
    if (!loom::IsUsablePath(ToU16(outDir)) || !loom::CreateBuildOutputFolder(project, outDir))
      return StepFailed(u"build failed: cannot create the output folder \"" + ToU16(outDir) +
                        u"\" (OutDir of Package.ini)");
    const std::u16string tools = loom::BuildToolFolder(origin_);
    for (int stage = loom::kFirstBuildStage; stage <= loom::kLastBuildStage; ++stage) {
      ++stepNumber_;
      started = ::GetTickCount64();
      const std::wstring command = ToWide(loom::BuildToolCommand(stage, tools, ToU16(outDir), choices.projectFolder));
      Ended ended = RunToolStep(command, true, &code);
      out_.Raw(u"");
      if (ended == Ended::Interrupted) {
        loom::DeleteIntermediateBuildFiles(project, outDir);
        return StepFailed(u"stopped");
      }
      if (ended == Ended::Failed || code != 0) {
        loom::DeleteIntermediateBuildFiles(project, outDir);
        return StepFailed(u"build failed: " +
                          (ended == Ended::Failed ? errors_ : u"exit code " + loom::DecimalText(code)) + u": " +
                          ToU16(command));
      }
      static const char16_t* kStage[] = {u"", u"build (registry)", u"build (files)", u"build (link)"};
      StepDone(kStage[stage], started);
    }
    loom::DeleteIntermediateBuildFiles(project, outDir);
    const std::wstring output = ToWide(loom::OutputFolderPath(choices.projectFolder, ToU16(outDir)));
    WIN32_FIND_DATAW fd;
    HANDLE found = ::FindFirstFileW((output + L"\\*").c_str(), &fd);
    if (found != INVALID_HANDLE_VALUE) {
      do
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          packages += u"  " + ToU16(output + L"\\" + fd.cFileName) + u"\n";
      while (::FindNextFileW(found, &fd));
      ::FindClose(found);
    }
  }
  out_.Line(u"project: " + choices.projectFolder);
  if (!a_.skipBuild) out_.Line(u"packages:\n" + packages.substr(0, packages.empty() ? 0 : packages.size() - 1));
  return kDone;
}

}  // namespace

int RunCapture(const Args& args) {
  const loom::Origin origin =
      loom::ReadOrigin(loom::SystemFolderPlatform(), ToU16(loom::ProgramPath()));  // the environment, read once
  const std::u16string usage = u"usage: loomctl capture ANSWERS [--dry-run] [--log FILE]";
  if (args.size() < 2) return Fail(kBadUsage, usage);
  bool dryRun = false;
  std::u16string logPath;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == u"--dry-run") {
      dryRun = true;
    } else if (args[i] == u"--log" && i + 1 < args.size()) {
      logPath = args[++i];
    } else {
      return Fail(kBadUsage, usage);
    }
  }
  std::string bytes;
  uint32_t error = 0;
  if (!loom::ReadWholeFile(args[1], bytes, &error))
    return Fail(kBadUsage, args[1] + u": cannot read (error " + loom::DecimalText(error) + u")");
  std::optional<std::u16string> text = loom::DecodeAnswersText(bytes);
  if (!text) return Fail(kBadUsage, args[1] + u": neither UTF-16LE with a byte-order mark nor UTF-8");
  loom::Answers answers;
  loom::AnswersRefusal refusal;
  if (!loom::ParseAnswers(*text, answers, refusal)) return Fail(kBadUsage, RefusalText(args[1], refusal));

  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  loom::InitFolderMacros();
  // The location's own checks (the estimate comes with the scan).
  if (answers.location) {
    loom::Win32Location platform;
    loom::LocationVerdict v = loom::CheckLocation(answers.inventoryName.value_or(u"-"), *answers.location, 0, platform);
    if (!v.ok()) return Fail(kBadUsage, RefusalText(args[1], {0, u"Project", u"Location", v.refusal, {}}));
    if (v.askOverwrite && !answers.overwrite)
      return Fail(kBadUsage, RefusalText(args[1], {0, u"Project", u"Location", loom::Refusal::LocationExists,
                                                   u"Overwrite=1 reuses the folder"}));
  }
  if (answers.basePackage && answers.portal.value_or(false)) {
    loom::BaseIdentity base;
    if (loom::Refusal reason = loom::CheckBasePackage(ToWide(*answers.basePackage), base);
        reason != loom::Refusal::None)
      return Fail(kBadUsage, RefusalText(args[1], {0, u"Options", u"BasePackage", reason, {}}));
  }
  FILE* log = nullptr;
  if (!logPath.empty() && !(log = _wfopen(ToWide(logPath).c_str(), L"wb")))
    return Fail(kBadUsage, logPath + u": cannot write the log");
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  int code;
  {
    Capture capture(answers, origin, args[1], log);
    code = capture.Run(dryRun);
  }
  if (log) std::fclose(log);
  return code;
}

}  // namespace loomctl
