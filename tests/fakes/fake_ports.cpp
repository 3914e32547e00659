#include "fakes/fake_ports.h"

#include <algorithm>

#include "app/form_kvinfo.h"
#include "core/text.h"
#include "window/form_design.h"
#include "window/label_rules.h"

namespace kv::test {

void Faults::Check(const std::string& op) {
  const int call = ++calls_[op];
  const auto it = plan_.find(op);
  if (it != plan_.end() && (it->second.nth == 0 || it->second.nth == call)) {
    throw AppError(it->second.code);
  }
}

FakeWindow::FakeWindow() : caption(kDesignCaption) {
  for (const LabelDesign& d : kLabelDesigns) {
    At(d.id) = {d.text, kDesignFontName, kDesignFontSize, static_cast<float>(d.width)};
  }
}

void FakeWindow::SetCaption(const std::wstring& text) {
  faults.Check("caption");
  caption = ShownText(text);
  log.push_back(L"caption " + text);
}

void FakeWindow::SetWidth(const WidthRule& rule) {
  faults.Check("width");
  const float twips =
      rule.Resolve([&] { return LabelWidth(Label::LabelSupportIDContent); }, [&] { return width; });
  WindowPixels(twips, 96);
  width = twips;
  log.push_back(L"width " + std::to_wstring(static_cast<int>(twips)));
}

void FakeWindow::SetLabelText(Label label, const std::wstring& text) {
  faults.Check("text");
  At(label).text = ShownText(text);
  log.push_back(std::wstring(L"text ") + DesignOf(label).name + L" " + text);
  Fit(label);
}

void FakeWindow::SetLabelFontName(Label label, const std::wstring& name) {
  faults.Check("fontname");
  CheckFontName(name);
  At(label).fontName = name;
  log.push_back(std::wstring(L"fontname ") + DesignOf(label).name + L" " + name);
  Fit(label);
}

void FakeWindow::SetLabelFontSize(Label label, float points) {
  faults.Check("fontsize");
  CheckFontSize(points);
  At(label).fontSize = points;
  log.push_back(std::wstring(L"fontsize ") + DesignOf(label).name + L" " +
                std::to_wstring(points).substr(0, 5));
  Fit(label);
}

void FakeWindow::Fit(Label label) {
  if (DesignOf(label).fitsText) At(label).width = kTwipsPerChar * At(label).text.size();
}

bool FakePlatform::OtherInstanceRunning() {
  log.push_back(L"instance test");
  return otherInstance;
}

void FakePlatform::SetWaitCursor() {
  faults.Check("cursor");
  waitCursor = true;
  log.push_back(L"cursor wait");
}

void FakePlatform::ResetCursor() {
  faults.Check("cursor");
  waitCursor = false;
  log.push_back(L"cursor default");
}

std::wstring FakePlatform::CurrentDirectory() {
  faults.Check("curdir");
  return currentDirectory;
}

void FakePlatform::AddFile(const std::wstring& path, const std::wstring& storedName) {
  files_[AsciiUpper(path)] = storedName;
}

std::wstring FakePlatform::FindFileName(const std::wstring& path) {
  log.push_back(L"find " + path);
  faults.Check("find");
  const auto it = files_.find(AsciiUpper(path));
  return it == files_.end() ? L"" : it->second;
}

void FakePlatform::SetSetting(const std::wstring& file, const std::wstring& section,
                              const std::wstring& key, const std::string& value) {
  settings_[AsciiUpper(file + L"|" + section + L"|" + key)] = value;
}

std::size_t FakePlatform::ReadProfileString(const std::wstring& file, const std::wstring& section,
                                            const std::wstring& key, const std::wstring& fallback,
                                            std::string& buffer) {
  log.push_back(L"read " + key);
  faults.Check("read");
  const auto it = settings_.find(AsciiUpper(file + L"|" + section + L"|" + key));
  std::string value;
  if (it != settings_.end()) {
    value = it->second;
  } else {
    for (wchar_t c : fallback) value += static_cast<char>(c);
  }
  if (buffer.empty()) return 0;
  const std::size_t count = std::min(value.size(), buffer.size() - 1);
  std::copy_n(value.begin(), count, buffer.begin());
  buffer[count] = '\0';
  return count;
}

std::wstring FakePlatform::FromAnsi(std::string_view bytes) const {
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (doubleByte && b >= 0x81) {
      // As the real code page does: a lead byte with no trail byte is no character.
      if (i + 1 == bytes.size() || bytes[i + 1] == '\0') continue;
      out += static_cast<wchar_t>(0x4E00 +
                                  ((b << 8) | static_cast<unsigned char>(bytes[++i])) % 0x5000);
    } else {
      out += static_cast<wchar_t>(b);
    }
  }
  return out;
}

std::wstring Wide(const std::wstring& narrow) {
  std::wstring out;
  for (wchar_t c : narrow) {
    if (c == L' ') {
      out += L'\u3000';
    } else if (c >= 0x21 && c <= 0x7E) {
      out += static_cast<wchar_t>(c + 0xFEE0);
    } else {
      out += c;
    }
  }
  return out;
}

std::wstring FakePlatform::ToFullWidth(const std::wstring& text) const {
  faults.Check("fullwidth");
  if (!doubleByte) throw AppError(kInvalidCall);
  return Wide(text);
}

void FakePlatform::SetAppTitle(const std::wstring& title) {
  faults.Check("apptitle");
  appTitle = title;
}

void FakePlatform::ShowMessage(const std::wstring& text, const std::wstring& title,
                               MessageIcon icon) {
  faults.Check("message");
  messages.push_back({text, title, icon});
}

void FakePlatform::EndProgram(int exitCode) {
  throw ProgramEnded{exitCode};
}

ProgramVersion FakePlatform::Version() const {
  faults.Check("version");
  return version;
}

namespace {

void Overwrite(std::string& buffer, const std::string& bytes) {
  std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
}

}  // namespace

std::int16_t FakeLibrary::GetHardDiskBuildId(std::string& buffer) {
  log.push_back(L"build");
  faults.Check("build");
  Overwrite(buffer, build);
  return buildResult;
}

std::int16_t FakeLibrary::GetBiosStringPieces(PieceBuffers& buffers) {
  log.push_back(L"bios");
  faults.Check("bios");
  for (std::size_t i = 0; i < buffers.size(); ++i) Overwrite(buffers[i], pieces[i]);
  return biosResult;
}

Harness::Harness() {
  platform.AddFile(kIni, L"Quorin.ini");
}

void Harness::SetScreen(const std::wstring& key, const std::string& value) {
  platform.SetSetting(kIni, L"Screen", key, value);
}

std::optional<int> Harness::Run(ErrorPolicy::FaultHook faultHook) {
  try {
    FormKVInfo(form, platform, library, std::move(faultHook)).Form_Load();
  } catch (const ProgramEnded& end) {
    return end.exitCode;
  }
  return std::nullopt;
}

}  // namespace kv::test
