// The terminal list of a communication job: one row per terminal with its
// caption (terminal number), network address, status, progress text and
// state image. The window owns it; the server's connection threads change
// its rows while a job runs, so every access goes through one mutex, and an
// observer hears of each changed row (the window repaints on its own thread).
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kaslo::comm {

// State images of a row (the window draws colour and status from them).
enum RowImage : int {
  kImageStandBy = 0,
  kImageSelected = 1,
  kImageCommunicating = 2,
  kImageUnused = 3,
  kImageWaiting = 4,
  kImageFinished = 5,
};

// Status texts of a row (UTF-8, as shown).
inline constexpr const char* kStatusStandBy = "Stand By";
inline constexpr const char* kStatusSelected = "Selecionado";
inline constexpr const char* kStatusCommunicating = "Comunicando";
inline constexpr const char* kStatusWaiting = "Aguardando Comunicação";
inline constexpr const char* kStatusFinished = "Comunicação Finalizada";

struct TerminalRow {
  std::string caption;   // terminal number as text; empty for an unknown terminal
  std::string address;   // IP address as text
  std::string status;    // one of the kStatus texts
  std::string progress;  // "0 %" ... "100 %"
  int image = kImageStandBy;

  bool operator==(const TerminalRow&) const = default;
};

// Thread-safe list of rows. Every method may be called from any thread.
// Indexes are stable: rows are only appended, never removed.
class TerminalList {
 public:
  // Called with the index of a changed or added row, after the lock has
  // been released, on the thread that made the change. The observer may
  // read the list again; it must not be replaced while a server runs.
  using Observer = std::function<void(size_t row)>;

  TerminalList() = default;
  TerminalList(const TerminalList&) = delete;
  TerminalList& operator=(const TerminalList&) = delete;

  void setObserver(Observer observer);

  // Appends a row and returns its index.
  size_t addRow(TerminalRow row);
  size_t size() const;
  // A copy of row `index`; an empty row when the index is out of range.
  TerminalRow row(size_t index) const;
  std::vector<TerminalRow> snapshot() const;
  // Runs `change` on row `index` under the lock, then tells the observer.
  // An index out of range changes nothing.
  void update(size_t index, const std::function<void(TerminalRow&)>& change);

  // Session lookups; addresses are compared as text.
  //
  // Finds the first row with `address` whose status is "Aguardando
  // Comunicação" or "Comunicando". Found: with `mark` the row becomes
  // "Comunicando" / image 2; the result is the caption as a number (0 when
  // the caption is not a number). No row at all with this address: a row
  // with an empty caption, the address, "Aguardando Comunicação" and image 2
  // is appended and the result is the new number of rows. Rows with the
  // address exist but none is waiting or communicating: 0.
  int checkAndMark(const std::string& address, bool mark);
  // The same search without marking and without appending: the caption as
  // a number, 0 when no row qualifies.
  int numberOnly(const std::string& address) const;
  // Index of the first row with this address, whatever its status.
  std::optional<size_t> rowIndex(const std::string& address) const;

 private:
  void Notify(size_t index) const;

  mutable std::mutex mutex_;
  std::vector<TerminalRow> rows_;
  Observer observer_;
};

}  // namespace kaslo::comm
