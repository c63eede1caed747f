#pragma once
// The CIF syntax reader. A file is read and indexed once (blocks, loops, a
// case-blind name index, values kept as views into the text); requests then ask
// for single items and loop columns by data name, typed as numbers with standard
// uncertainties or as character strings. Syntax errors are shown through the UI
// port when a request meets them, and end only that request.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/user_interface.h"
#include "formats/cif_dictionary.h"
#include "formats/cif_index.h"

namespace tessera {

/// Message text of a dictionary loaded after the CIF was opened.
inline constexpr const char* kCifDictAfterOpen = " dict_ must precede open_";

/// The error box text for a syntax error met in file fileName, block blockName, at line.
std::string cifErrorMessage(std::string_view fileName, std::string_view blockName, std::size_t line,
                            const char* text);

/// The warning for a data name whose values do not have the dictionary's type.
std::string cifTypeWarning(std::string_view name);

/// Request-style access to one CIF file.
class CifReader {
 public:
  /// Messages go to ui.
  explicit CifReader(UserInterface& ui);
  ~CifReader();
  CifReader(const CifReader&) = delete;
  CifReader& operator=(const CifReader&) = delete;

  /// Loads the dictionary file. options: blank-separated words, "valid" (check each
  /// opened block against the dictionary) and "dtype" (a name typed "char" is never
  /// a number). False when the file cannot be read, or when a CIF is already open.
  bool loadDictionary(const std::string& path, std::string_view options);
  /// loadDictionary from a text in memory; displayName appears in messages.
  bool loadDictionaryText(std::string text, std::string_view displayName, std::string_view options);
  /// Reads and indexes a whole CIF file; false when it cannot be read.
  bool openCif(const std::string& path);
  /// openCif from a text in memory; displayName appears in messages.
  void openCifText(std::string text, std::string displayName);
  /// True while a CIF is open.
  bool isOpen() const { return index_ != nullptr; }
  /// Name of the open file as given to openCif.
  const std::string& fileName() const { return fileName_; }

  /// Number of data blocks in the open file.
  std::size_t blockCount() const;
  /// Name of block i (0-based, file order): the text after "data_".
  std::string_view blockName(std::size_t i) const;
  /// Opens block i (0-based) for requests; false when there is no such block.
  bool selectBlock(std::size_t i);
  /// Opens the block after the last one opened (with that name in any case when
  /// name is not blank) and puts its name in name; false at the end of the file.
  bool nextDataBlock(std::string& name);
  /// Index of the open block, kCifNone before one is opened.
  std::size_t currentBlock() const { return current_; }

  /// The current value of a data name as a number with its su (-1 when none).
  /// False when the name is absent, its value is "." or "?", not a number, or
  /// meets a syntax error; value and su are then left alone.
  bool getNumber(std::string_view name, double& value, double& su);
  /// The current value of a data name as text (any value, numbers as written).
  /// False when the name is absent, its value is "." or "?", or meets a syntax error.
  bool getChar(std::string_view name, std::string& text);
  /// A looped name moves to the next packet when it was already read in the
  /// current one (or on the first request). loopMore() tells whether another packet
  /// follows the one the last request on a looped name read.
  bool loopMore() const { return loopMore_; }

  /// True when the open block has the data name.
  bool contains(std::string_view name) const;
  /// Packets of the name's loop (1 for an unlooped name, 0 when absent).
  std::size_t packetCount(std::string_view name) const;

 private:
  struct LoopCursor {
    std::size_t packet = kCifNone;
    std::vector<std::size_t> lastRead;  // per column: the packet it was last read in
  };

  // Recently requested names: a caller reading a loop asks the same few names over
  // and over, and an exact byte match is cheaper than the case-blind hash.
  struct RecentName {
    std::string name;
    const CifItem* item = nullptr;
  };
  static constexpr std::size_t kRecentNames = 32;

  const CifItem* lookup(std::string_view name);
  std::size_t request(std::string_view name, const CifItem** itemOut);
  const CifBlock* block() const;
  void openBlock(std::size_t i);
  void checkTypes(const CifBlock& b);
  void report(std::size_t error);
  void setOptions(std::string_view options);

  UserInterface& ui_;
  CifDictionary dictionary_;
  bool validate_ = false;
  bool dictionaryTypes_ = false;
  std::unique_ptr<CifIndex> index_;
  std::string fileName_;
  std::size_t current_ = kCifNone;
  std::size_t nextBlock_ = 0;
  bool loopMore_ = false;
  std::vector<LoopCursor> cursors_;
  std::vector<bool> charTyped_;  // per item of the open block: dictionary type "char"
  std::vector<bool> checked_;    // per block: dictionary check done
  std::array<RecentName, kRecentNames> recent_;
};

}  // namespace tessera
