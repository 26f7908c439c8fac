// loomctl: command-line companion for the working project file (UTF-16LE INI
// text, edited exactly as the wizard's pages edit it) and for the attribute
// table of a built package. Run "loomctl --help" for the usage.
//
// Exit codes: 0 done; 1 nothing found or the edit was not possible (nothing
// written); 2 bad usage or an unreadable or invalid file.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "project/IniDocument.h"
#include "util/PackageAttributes.h"
#include "util/Text.h"

namespace {

using Args = std::vector<std::u16string>;
constexpr int kDone = 0, kNotDone = 1, kBadUsage = 2;

// Console windows get the text as it is; files and pipes get UTF-8.
void Write(FILE* stream, std::u16string_view text) {
#ifdef _WIN32
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");
  HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    while (!text.empty()) {
      DWORD chunk = DWORD(text.size() < 8192 ? text.size() : 8192), written = 0;
      if (!WriteConsoleW(handle, reinterpret_cast<const wchar_t*>(text.data()), chunk, &written, nullptr) ||
          written == 0)
        return;
      text.remove_prefix(written);
    }
    return;
  }
#endif
  const std::string bytes = loom::Utf16ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

int Fail(int code, std::u16string_view message) {
  Write(stderr, u"loomctl: " + std::u16string(message) + u"\n");
  return code;
}

// --- ini ----------------------------------------------------------------------

// Runs one subcommand on the loaded document; false when it found nothing or
// could not edit. `out` receives what is printed.
using IniRun = bool (*)(loom::IniDocument& doc, const Args& a, const char16_t* marker, std::u16string& out);

struct IniCommand {
  std::u16string_view name;
  std::u16string_view operands;  // as shown in the usage
  size_t count;                  // number of operands
  bool edits;                    // saves the file when it succeeds
  IniRun run;
};

const IniCommand kIniCommands[] = {
    {u"sections", u"", 0, false,
     [](loom::IniDocument& d, const Args&, const char16_t*, std::u16string& out) {
       for (const auto& name : d.ListSections()) out += name + u"\n";
       return !out.empty();
     }},
    {u"get", u" SECTION KEY", 2, false,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string& out) {
       out = d.GetValue(a[0], a[1]);  // an empty value cannot be told from a missing key
       if (out.empty()) return false;
       out += u"\n";
       return true;
     }},
    {u"set", u" SECTION KEY VALUE [--block MARKER]", 3, true,
     [](loom::IniDocument& d, const Args& a, const char16_t* m, std::u16string&) {
       return d.SetValue(a[0], a[1], a[2], m);
     }},
    {u"delete", u" SECTION KEY", 2, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.DeleteKey(a[0], a[1]); }},
    {u"comment", u" SECTION KEY", 2, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) {
       return d.CommentOutKey(a[0], a[1]);
     }},
    {u"uncomment", u" SECTION KEY", 2, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) {
       return d.UncommentKey(a[0], a[1]);
     }},
    {u"delete-block", u" SECTION TEXT", 2, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) {
       return d.DeleteBlock(a[0], a[1]);
     }},
    {u"rename-section", u" OLD NEW", 2, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) {
       return d.RenameSection(a[0], a[1]);
     }},
    {u"delete-section", u" NAME", 1, true,
     [](loom::IniDocument& d, const Args& a, const char16_t*, std::u16string&) { return d.DeleteSection(a[0]); }},
};

std::u16string Usage() {
  std::u16string text = u"usage:\n";
  for (const auto& c : kIniCommands)
    text += u"  loomctl ini FILE " + std::u16string(c.name) + std::u16string(c.operands) + u"\n";
  text += u"  loomctl package FILE [NAME]\n"
          u"FILE of ini is UTF-16LE text; an edit writes it back only when it succeeds.\n"
          u"Exit codes: 0 done, 1 nothing found or not done (file unchanged), 2 bad usage or unreadable file.\n";
  return text;
}

// args: ini FILE COMMAND OPERANDS... [--block MARKER]
int RunIni(const Args& args) {
  const IniCommand* command = nullptr;
  for (const auto& c : kIniCommands)
    if (args.size() > 2 && args[2] == c.name) command = &c;
  if (!command) return Fail(kBadUsage, u"unknown ini command (loomctl --help lists them)");
  Args operands(args.begin() + 3, args.end());
  const char16_t* marker = nullptr;
  if (command->name == u"set" && operands.size() == command->count + 2 && operands[command->count] == u"--block")
    marker = operands.back().c_str();
  else if (operands.size() != command->count)
    return Fail(kBadUsage, u"usage: loomctl ini FILE " + std::u16string(command->name) +
                               std::u16string(command->operands));

  loom::IniDocument doc;
  if (!doc.Load(args[1])) return Fail(kBadUsage, u"cannot read " + args[1] + u" (missing, empty or not UTF-16)");
  std::u16string out;
  if (!command->run(doc, operands, marker, out)) {
    if (command->edits) return Fail(kNotDone, std::u16string(command->name) + u": not found or not possible; file unchanged");
    return kNotDone;
  }
  if (command->edits && !doc.Save(args[1])) return Fail(kNotDone, u"cannot write " + args[1] + u"; file unchanged");
  Write(stdout, out);
  return kDone;
}

// --- package ------------------------------------------------------------------

// args: package FILE [NAME]
int RunPackage(const Args& args) {
  if (args.size() < 2 || args.size() > 3) return Fail(kBadUsage, u"usage: loomctl package FILE [NAME]");
  uint32_t error = 0;
  const auto header = loom::ReadPackageAttributes(args[1], &error);
  if (!header) {
    std::u16string why = error == 193 ? u"not a valid package"
                                      : u"cannot read it (error " + loom::Utf8ToUtf16(std::to_string(error)) + u")";
    return Fail(kBadUsage, args[1] + u": " + why);
  }
  std::u16string out;
  if (args.size() == 3) {
    const auto value = loom::GetPackageAttribute(*header, args[2]);
    if (!value) return kNotDone;
    out = std::u16string(*value) + u"\n";
  } else {
    for (const auto& [name, value] : loom::ListPackageAttributes(*header)) out += name + u"=" + value + u"\n";
    if (out.empty()) return kNotDone;
  }
  Write(stdout, out);
  return kDone;
}

// --- dispatch -----------------------------------------------------------------

struct Tool {
  std::u16string_view name;
  int (*run)(const Args&);
};

const Tool kTools[] = {
    {u"ini", RunIni},
    {u"package", RunPackage},
    {u"--help", [](const Args&) { Write(stdout, Usage()); return kDone; }},
};

int Run(const Args& args) {
  for (const auto& tool : kTools)
    if (!args.empty() && args[0] == tool.name) return tool.run(args);
  return Fail(kBadUsage, u"usage: loomctl ini FILE COMMAND ... | loomctl package FILE [NAME] (loomctl --help)");
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) {
  Args args;
  for (int i = 1; i < argc; ++i) args.push_back(loom::Utf8ToUtf16(argv[i]));
  return Run(args);
}
#endif
