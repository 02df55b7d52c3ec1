// The stand-in for the ZENTAR host: its automation object model, honouring every operation the
// library calls, with documents that keep every object written, the host's own style libraries,
// model documents with items, open and save of documents, and a log of every call.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/dispatch.h"

namespace zuro::standin {

struct SimColumnValue {
  int32_t column = 0;
  int16_t type = 0;   // 8 text, 3 integer, 7 real
  std::string text;   // type 8 (code page 1251)
  double number = 0;  // types 3 and 7
  bool operator==(const SimColumnValue&) const = default;
};

struct SimObject {
  std::string library;
  int32_t style = 0;
  int32_t section = 0;
  std::vector<SimColumnValue> columns;  // in the order they were set
  std::optional<std::string> link;      // text of the linked model item
  bool operator==(const SimObject&) const = default;
};

enum class SimDocumentKind { Graphic, Model, Spec };

struct SimDocument {
  SimDocumentKind kind = SimDocumentKind::Spec;
  std::vector<SimObject> objects;
  std::vector<std::string> model_items;  // texts of items 1, 2, ... (item 0 is the model itself)
  std::string opened_path;               // last file opened into it (UTF-8)
  std::string saved_path;                // last file it was saved to (UTF-8)
  bool no_name_chosen = false;           // the library said no file name was chosen
};

// A column of a style: its number and name.
struct SimStyleColumn {
  int32_t number;
  std::string name;
};

struct SimStyle {
  std::vector<SimStyleColumn> main_columns;
  std::vector<SimStyleColumn> extra_columns;  // the style's additional named columns
};

class SimHost {
 public:
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // The application object (ZentarObject), as CreateZentarObject gives it.
  automation::DispatchRef Application();

  // Host set-up: which document is active. Each replaces the active document of its kind.
  SimDocument& OpenGraphicDocument();
  SimDocument& OpenModelDocument(std::vector<std::string> item_texts);
  SimDocument& OpenSpecDocument();
  void CloseAllDocuments();
  void set_host_state(int32_t state) { host_state_ = state; }
  void set_refuse_objects(bool refuse) { refuse_objects_ = refuse; }
  // Makes one call fail with an automation error, e.g. ("ZentarObject", 15).
  void FailCall(const std::string& object_type, int32_t dispid);

  // What the library did.
  int32_t host_input() const { return host_input_; }
  const std::vector<std::string>& call_log() const { return log_; }
  std::string CallLogText() const;  // one call a line, code page 1251
  void ClearLog() { log_.clear(); }
  // The log is kept by default; a road that never reads it (zuro-bom convert on a board of a
  // hundred thousand objects, a million calls) leaves it off.
  void set_keeps_call_log(bool keep) { keeps_call_log_ = keep; }
  bool keeps_call_log() const { return keeps_call_log_; }
  // The time spent inside the host's calls, counted around every call it receives from the
  // library when asked for (a call the host makes of itself inside one counts with it).
  void set_times_calls(bool times) { times_calls_ = times; }
  bool times_calls() const { return times_calls_; }
  double call_seconds() const { return call_seconds_; }
  int64_t calls() const { return calls_; }
  void CountCall(double seconds) {
    call_seconds_ += seconds;
    ++calls_;
  }
  // True while the host works inside a call of the library's.
  bool in_call() const { return in_call_; }
  void set_in_call(bool in_call) { in_call_ = in_call; }
  // Every document the host holds, in the order made (set-up documents and those the library made).
  const std::vector<std::shared_ptr<SimDocument>>& documents() const { return documents_; }
  SimDocument* ActiveGraphicDocument() const { return graphic_.get(); }
  SimDocument* ActiveModelDocument() const { return model_.get(); }
  SimDocument* ActiveSpecDocument() const { return spec_.get(); }
  // The document a library command wrote into: graphic, else model, else the newest spec document.
  SimDocument* TargetDocument() const;

  const SimStyle* FindStyle(const std::string& library, int32_t style) const;

  // Used by the host's objects.
  void Log(std::string line) { log_.push_back(std::move(line)); }
  bool ShouldFail(std::string_view object_type, int32_t dispid) const;
  bool refuse_objects() const { return refuse_objects_; }
  int32_t host_state() const { return host_state_; }
  void set_host_input(int32_t flag) { host_input_ = flag; }
  std::shared_ptr<SimDocument> NewDocument(SimDocumentKind kind);
  automation::DispatchRef DocumentObject(const std::shared_ptr<SimDocument>& document);

 private:
  std::vector<std::shared_ptr<SimDocument>> documents_;
  std::shared_ptr<SimDocument> graphic_, model_, spec_;
  std::map<std::string, std::map<int32_t, SimStyle>> styles_;
  std::vector<std::pair<std::string, int32_t>> failing_calls_;
  std::vector<std::string> log_;
  automation::DispatchRef application_;
  int32_t host_state_ = 0;
  int32_t host_input_ = 1;
  bool refuse_objects_ = false;
  bool keeps_call_log_ = true;
  bool times_calls_ = false;
  bool in_call_ = false;
  double call_seconds_ = 0;
  int64_t calls_ = 0;
};

// The document file format (UTF-8 JSON, "zentar-sim/1"); UTF-8 paths.
std::string DocumentToJson(const SimDocument& document);
bool DocumentFromJson(const std::string& json, SimDocument& document);
bool SaveDocument(const SimDocument& document, const std::string& path);
bool OpenDocument(const std::string& path, SimDocument& document);

// Model item texts from a text file, one item a line (UTF-8 or code page 1251 lines as given).
std::vector<std::string> ReadItemLines(const std::string& path);

}  // namespace zuro::standin
