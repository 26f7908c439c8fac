// The places a scan leaves out, read from a plain text file beside the tool.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace loom::snap {

class ExclusionList {
 public:
  using Expander = std::function<std::u16string(std::u16string_view)>;

  // One pattern a line; blank lines and lines beginning with "#" or ";" are
  // skipped. `expand` (optional) replaces environment variables in a line.
  void Parse(std::u16string_view text, const Expander& expand = {});
  // A path pattern ("C:\pagefile.sys", "HKEY_USERS\*\Software\X") or, with no
  // "\" in it, a name pattern that matches a name at any depth. "*" and "?"
  // match within one name; letter case is ignored; trailing "\" is dropped.
  void Add(std::u16string_view pattern);

  // True when the path itself is left out. Callers walk from the roots and do
  // not descend into what was left out, so only the path's own patterns and
  // its last name are tested: a path pattern matches a path of as many names.
  bool Excludes(std::u16string_view path) const;
  size_t size() const { return paths_.size() + names_.size(); }

  // The list written beside the tool when none is there.
  static std::u16string_view DefaultText();
  // The pattern lines of DefaultText() that `text` (a list in use) does not
  // have, compared without regard to case and surrounding blanks.
  static std::vector<std::u16string> MissingDefaults(std::u16string_view text);

 private:
  std::vector<std::vector<std::u16string>> paths_;  // split into names
  std::vector<std::u16string> names_;
};

// "*" and "?" within one name, without regard to case.
bool MatchName(std::u16string_view pattern, std::u16string_view name);

}  // namespace loom::snap
