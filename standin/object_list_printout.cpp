#include "standin/object_list_printout.h"

#include <array>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "base/text_encoding.h"

namespace zuro::standin {

namespace {

// The PDM's buffers, and the most a well-formed list can hold: an object line is read in pieces
// of 198 characters, so no object has more attributes than that. The limits only keep a library
// that never answers an empty text from holding the caller for ever.
constexpr size_t kBufferSize = 200;
constexpr int kMostAttributes = 200;
constexpr int kMostObjects = 1000000;

using Buffer = std::array<char, kBufferSize>;

// The buffer holds `text` and its NUL, as a caller hands a text over; what lies after the NUL is
// whatever an earlier call left there, as in a caller's own buffer.
void Fill(Buffer& buffer, std::string_view text) {
  buffer[text.copy(buffer.data(), kBufferSize - 1)] = '\0';
}

std::string_view TextOf(const Buffer& buffer) {
  const void* end = std::memchr(buffer.data(), '\0', kBufferSize);
  return std::string_view(buffer.data(),
                          end ? static_cast<const char*>(end) - buffer.data() : kBufferSize);
}

// "object;attribute" as the PDM writes it into the name buffer.
void FillAttributeArgument(Buffer& buffer, std::string_view object, int attribute) {
  char* at = buffer.data() + object.copy(buffer.data(), kBufferSize - 1);
  *at++ = ';';
  *std::to_chars(at, buffer.data() + kBufferSize - 1, attribute).ptr = '\0';
}

// Appends the object's attributes to `object`.
void AppendAttributes(const ObjectListCalls& calls, std::string_view number, std::string& object) {
  Buffer name;
  Buffer value;
  for (int attribute = 0; attribute < kMostAttributes; ++attribute) {
    FillAttributeArgument(name, number, attribute);
    value[0] = '\0';  // a call that writes no value leaves the empty text
    calls.object_attribute(name.data(), value.data());
    const std::string_view name_text = TextOf(name);
    if (name_text.empty())
      break;
    object += name_text;
    object += '=';
    object += TextOf(value);
    object += ';';
  }
}

}  // namespace

void ReadBackObjectList(const ObjectListCalls& calls,
                        const std::function<void(const std::string& object)>& take) {
  Buffer type;
  std::string object;
  for (int number = 0; number < kMostObjects; ++number) {
    char digits[16];
    const std::string_view number_text(digits, std::to_chars(digits, digits + 16, number).ptr);
    Fill(type, number_text);
    calls.object_type(type.data());
    const std::string_view type_text = TextOf(type);
    if (type_text.empty())
      break;
    object.assign(type_text);
    object += '#';
    AppendAttributes(calls, number_text, object);
    take(object);
  }
}

namespace {

// Converts pieces of the list to UTF-8 and writes them on a thread of its own, while the reading
// goes on; at most two pieces wait. Where no thread can be had, each piece is printed at once.
class PiecePrinter {
 public:
  explicit PiecePrinter(std::FILE* stream) : stream_(stream) {
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
    }
  }
  // Prints what still waits.
  ~PiecePrinter() {
    if (!thread_.joinable())
      return;
    {
      const std::lock_guard lock(mutex_);
      ended_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  PiecePrinter(const PiecePrinter&) = delete;
  PiecePrinter& operator=(const PiecePrinter&) = delete;

  // Takes the piece's text and leaves it empty.
  void Print(std::string& piece) {
    if (!thread_.joinable()) {
      Write(piece);
      piece.clear();
      return;
    }
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
      waiting_.push_back(std::move(piece));
    }
    changed_.notify_all();
    piece.clear();
  }

 private:
  static constexpr size_t kMostWaiting = 2;

  void Run() {
    std::string piece;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !waiting_.empty() || ended_; });
        if (waiting_.empty())
          return;
        piece.swap(waiting_.front());
        waiting_.pop_front();
      }
      changed_.notify_all();
      Write(piece);
    }
  }

  void Write(std::string_view piece) {
    utf8_.clear();
    AppendCp1251AsUtf8(utf8_, piece);
    std::fwrite(utf8_.data(), 1, utf8_.size(), stream_);
  }

  std::FILE* stream_;
  std::string utf8_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> waiting_;
  bool ended_ = false;
  std::thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace

// The output is gathered into large writes: a list of a hundred thousand objects written object
// by object would spend more time in the system's writes than in the reading.
void PrintObjectList(const ObjectListCalls& calls, std::FILE* stream, std::string_view line_end) {
  constexpr size_t kPieceSize = 1 << 17;
  std::string piece;
  {
    PiecePrinter printer(stream);
    ReadBackObjectList(calls, [&](const std::string& object) {
      piece += object;
      piece += line_end;
      if (piece.size() >= kPieceSize)
        printer.Print(piece);
    });
    printer.Print(piece);
  }
  std::fflush(stream);
}

}  // namespace zuro::standin
