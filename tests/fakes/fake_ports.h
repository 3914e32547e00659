#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/form_kvinfo.h"
#include "core/app_error.h"
#include "core/error_policy.h"
#include "core/ports.h"

namespace kv::test {

// Thrown by the fake program end, so that nothing after it runs.
struct ProgramEnded {
  int exitCode;
};

// Fails chosen operations with chosen codes: on every call, or only on the nth (from 1).
class Faults {
 public:
  void Fail(const std::string& op, int code, int nth = 0) { plan_[op] = {code, nth}; }
  void Check(const std::string& op);

 private:
  struct Plan {
    int code;
    int nth;
  };
  std::map<std::string, Plan> plan_;
  std::map<std::string, int> calls_;
};

// The window in memory, with its design values and a log of every change in order. It
// refuses and shows what the real window does, at 96 dots per inch.
class FakeWindow : public WindowPort {
 public:
  struct LabelState {
    std::wstring text;
    std::wstring fontName;
    float fontSize;
    float width;
  };

  FakeWindow();

  std::wstring Caption() const override { return caption; }
  void SetCaption(const std::wstring& text) override;
  float Width() const override { return width; }
  void SetWidth(const WidthRule& rule) override;
  void SetLabelText(Label label, const std::wstring& text) override;
  void SetLabelFontName(Label label, const std::wstring& name) override;
  void SetLabelFontSize(Label label, float points) override;
  std::wstring LabelFontName(Label label) const override { return Of(label).fontName; }
  std::wstring LabelText(Label label) const override { return Of(label).text; }
  float LabelWidth(Label label) const override { return Of(label).width; }

  const LabelState& Of(Label label) const { return labels[LabelIndex(label)]; }

  static constexpr float kTwipsPerChar = 100;  // width of one character of a fitting label
  static constexpr float kDesignWidth = 6795;  // client width plus a frame

  std::wstring caption;
  float width = kDesignWidth;
  std::array<LabelState, kLabelCount> labels;  // as the labels show them
  std::vector<std::wstring> log;               // every change, with the text as it was given
  Faults faults;

 private:
  LabelState& At(Label label) { return labels[LabelIndex(label)]; }
  void Fit(Label label);
};

// Process services in memory. Its code page maps bytes below 0x80 to themselves and, when
// doubleByte is set, a byte of 0x81 or above and the byte after it to one character (a
// lead byte at the end or before a NUL is dropped).
class FakePlatform : public Platform {
 public:
  bool OtherInstanceRunning() override;
  void SetWaitCursor() override;
  void ResetCursor() override;
  std::wstring CurrentDirectory() override;
  std::wstring FindFileName(const std::wstring& path) override;
  std::size_t ReadProfileString(const std::wstring& file, const std::wstring& section,
                                const std::wstring& key, const std::wstring& fallback,
                                std::string& buffer) override;
  std::wstring FromAnsi(std::string_view bytes) const override;
  std::wstring ToFullWidth(const std::wstring& text) const override;
  std::wstring AppTitle() const override { return appTitle; }
  void SetAppTitle(const std::wstring& title) override;
  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;
  [[noreturn]] void EndProgram(int exitCode) override;
  ProgramVersion Version() const override;
  void PutOnClipboard(const std::wstring& text) override { clipboard = text; }

  // Stores a file (by its full path) under the name the file system keeps for it.
  void AddFile(const std::wstring& path, const std::wstring& storedName);
  void SetSetting(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                  const std::string& value);

  struct Message {
    std::wstring text;
    std::wstring title;
    MessageIcon icon;
  };

  bool otherInstance = false;
  bool doubleByte = true;
  bool waitCursor = false;
  std::wstring currentDirectory = L"C:\\demo";
  std::wstring appTitle = kDefaultAppTitle;
  ProgramVersion version = {3, 2, 0};
  std::vector<Message> messages;
  std::wstring clipboard;
  std::vector<std::wstring> log;  // cursor changes, file look-ups and reads, in order
  mutable Faults faults;

 private:
  std::map<std::wstring, std::wstring> files_;
  std::map<std::wstring, std::string> settings_;
};

// The identity library in memory: each call returns its scripted result and writes its
// scripted bytes over the start of the caller's buffers.
class FakeLibrary : public IdentityLibrary {
 public:
  std::int16_t GetHardDiskBuildId(std::string& build) override;
  std::int16_t GetBiosStringPieces(PieceBuffers& pieces) override;

  std::int16_t buildResult = 0;
  std::int16_t biosResult = 0;
  std::string build;
  PieceBuffers pieces;
  std::vector<std::wstring> log;
  Faults faults;
};

// One program start against the fakes, with a settings file present in the current folder.
struct Harness {
  Harness();
  void SetScreen(const std::wstring& key, const std::string& value);
  // Runs the load event; the exit code when the program ended inside it.
  std::optional<int> Run(ErrorPolicy::FaultHook faultHook = {});

  static constexpr wchar_t kIni[] = L"C:\\demo\\Quorin.ini";
  FakePlatform platform;
  FakeWindow form;
  FakeLibrary library;
};

// The full-width form the fake gives: printable ASCII to U+FF01..U+FF5E, space to U+3000.
std::wstring Wide(const std::wstring& narrow);

}  // namespace kv::test
