#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/width_rule.h"
#include "library_abi.h"

namespace kv {

// The sixteen labels of the main window, numbered by their place in the window (which is
// also their control number).
enum class Label : int {
  LabelBODContent = 1,
  LabelBOD,
  LabelSWBOMContent,
  LabelHWBOMContent,
  LabelSWBOM,
  LabelHWBOM,
  LabelProductContent,
  LabelProduct,
  LabelSWBuildContent,
  LabelSWBuild,
  LabelSupportIDContent,
  LabelModelContent,
  LabelSupportID,
  LabelModel,
  LabelSerial,
  LabelSerialContent,
};
inline constexpr int kLabelCount = 16;

// A label's place in a table of all sixteen in window order.
constexpr std::size_t LabelIndex(Label label) {
  return static_cast<std::size_t>(label) - 1;
}

// The main window as the start-up and the form operations use it. Geometry is in twips,
// font sizes in points. What it refuses and what it shows follow window/label_rules.h.
class WindowPort {
 public:
  virtual ~WindowPort() = default;
  virtual std::wstring Caption() const = 0;
  // Shows the text up to its first NUL, control characters as U+FFFD.
  virtual void SetCaption(const std::wstring& caption) = 0;
  virtual float Width() const = 0;  // outer width, frame included
  // Sets the outer width by the rule, and keeps the rule. Raises 6 where the rule gives no
  // single-precision number, 380 for a width outside 1 to 32767 pixels.
  virtual void SetWidth(const WidthRule& width) = 0;
  // Shows the text as SetCaption does.
  virtual void SetLabelText(Label label, const std::wstring& text) = 0;
  // Raises 380 for an empty name or one of 32 characters or more.
  virtual void SetLabelFontName(Label label, const std::wstring& name) = 0;
  // Raises 380 for a size that is not a number above 0 and at most 2048.
  virtual void SetLabelFontSize(Label label, float points) = 0;
  virtual std::wstring LabelFontName(Label label) const = 0;
  // The text as the label shows it.
  virtual std::wstring LabelText(Label label) const = 0;
  virtual float LabelWidth(Label label) const = 0;
};

enum class MessageIcon { kNone, kStop };

// The program's own version record.
struct ProgramVersion {
  int major;
  int minor;
  int revision;
};

// Process services the start-up relies on. Failures raise AppError with their code.
class Platform {
 public:
  virtual ~Platform() = default;
  virtual bool OtherInstanceRunning() = 0;
  virtual void SetWaitCursor() = 0;
  virtual void ResetCursor() = 0;
  virtual std::wstring CurrentDirectory() = 0;
  // The stored name of the ordinary file at path, or empty when there is none; hidden and
  // system files and directories do not count.
  virtual std::wstring FindFileName(const std::wstring& path) = 0;
  // Reads one key of a profile-format file into buffer (ANSI bytes, filled in place, at
  // most buffer.size() - 1 of them copied, then a NUL) and returns the count copied.
  virtual std::size_t ReadProfileString(const std::wstring& file, const std::wstring& section,
                                        const std::wstring& key, const std::wstring& fallback,
                                        std::string& buffer) = 0;
  // Converts bytes in the system's ANSI code page, NULs included, to text.
  virtual std::wstring FromAnsi(std::string_view bytes) const = 0;
  // Every narrow character to its full-width form; raises error 5 on a system without
  // double-byte support.
  virtual std::wstring ToFullWidth(const std::wstring& text) const = 0;
  virtual std::wstring AppTitle() const = 0;
  virtual void SetAppTitle(const std::wstring& title) = 0;
  // Modal, one OK button; returns when the box is closed.
  virtual void ShowMessage(const std::wstring& text, const std::wstring& title,
                           MessageIcon icon) = 0;
  [[noreturn]] virtual void EndProgram(int exitCode) = 0;
  // Read from the program file each time; raises AppError when it cannot be read.
  virtual ProgramVersion Version() const = 0;
  // Puts the text on the clipboard for other programs; gives up quietly when it cannot.
  virtual void PutOnClipboard(const std::wstring& text) = 0;
};

// The nine piece buffers of the BIOS call, in its argument order.
using PieceBuffers = std::array<std::string, abi::kPieceCount>;

// The firmware-access library. Each buffer comes in filled with spaces to its fixed length
// and goes back with exactly that length, whatever the library wrote into it. Raises
// AppError when the library cannot be loaded or lacks the operation.
class IdentityLibrary {
 public:
  virtual ~IdentityLibrary() = default;
  virtual std::int16_t GetHardDiskBuildId(std::string& build) = 0;
  virtual std::int16_t GetBiosStringPieces(PieceBuffers& pieces) = 0;
};

}  // namespace kv
