#include "standin/sim_host.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

#include "base/text_encoding.h"

namespace zuro::standin {

using automation::AutomationError;
using automation::DispatchRef;
using automation::InvokeKind;
using automation::Value;
using Args = std::span<const Value>;

namespace {

// HRESULTs the host answers a wrong call with, as a COM server would.
constexpr long kMemberNotFound = static_cast<long>(0x80020003);
constexpr long kTypeMismatch = static_cast<long>(0x80020005);
constexpr long kBadParamCount = static_cast<long>(0x8002000E);
constexpr long kHostFailure = static_cast<long>(0x80004005);

// Every host object: logs each call, checks the call's shape, then handles it.
class SimDispatch : public automation::Dispatch {
 public:
  SimDispatch(SimHost& host, const char* type_name) : host_(host), type_name_(type_name) {}
  const char* type_name() const { return type_name_; }

  Value Invoke(int32_t dispid, InvokeKind kind, Args args) override;

 protected:
  virtual Value Handle(int32_t dispid, InvokeKind kind, Args args) = 0;
  [[noreturn]] void NotFound(int32_t dispid) const {
    throw AutomationError(std::string(type_name_) + " has no member " + std::to_string(dispid),
                          kMemberNotFound);
  }
  // Checks the argument count and types of a call.
  void Expect(int32_t dispid, Args args, std::initializer_list<Value::Type> types) const;

  SimHost& host_;

 private:
  const char* type_name_;
};

const char* TypeNameOf(const DispatchRef& object) {
  const auto* sim = dynamic_cast<const SimDispatch*>(object.get());
  return sim ? sim->type_name() : "object";
}

std::string FormatReal(double value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  std::string text(buffer, end);
  if (text.find_first_of(".en") == std::string::npos)
    text += ".0";
  return text;
}

std::string FormatArgument(const Value& value) {
  switch (value.type()) {
    case Value::Type::Empty:
      return "empty";
    case Value::Type::Int16:
    case Value::Type::Int32:
      return std::to_string(value.AsInt());
    case Value::Type::Double:
      return FormatReal(value.AsDouble());
    case Value::Type::Bool:
      return value.AsBool() ? "TRUE" : "FALSE";
    case Value::Type::Text: {
      // Appended piece by piece: GCC 12 takes "\"" + text + "\"" for an overlapping copy.
      std::string quoted = "\"";
      quoted += value.AsText();
      quoted += '"';
      return quoted;
    }
    case Value::Type::Object:
      return TypeNameOf(value.AsObject());
  }
  return "?";
}

const char* KindName(InvokeKind kind) {
  switch (kind) {
    case InvokeKind::Method:
      return "method";
    case InvokeKind::Get:
      return "get";
    case InvokeKind::Put:
      return "put";
  }
  return "?";
}

Value SimDispatch::Invoke(int32_t dispid, InvokeKind kind, Args args) {
  if (host_.keeps_call_log()) {
    std::string line =
        std::string(type_name_) + " " + std::to_string(dispid) + " " + KindName(kind);
    for (const Value& arg : args) {
      line += ' ';
      line += FormatArgument(arg);
    }
    host_.Log(std::move(line));
  }
  if (host_.ShouldFail(type_name_, dispid))
    throw AutomationError("the host failed the call", kHostFailure);
  if (!host_.times_calls() || host_.in_call())
    return Handle(dispid, kind, args);
  // Counted whether the call returns or throws.
  struct Timer {
    SimHost& host;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    ~Timer() {
      host.set_in_call(false);
      host.CountCall(
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
  } timer{host_};
  host_.set_in_call(true);
  return Handle(dispid, kind, args);
}

void SimDispatch::Expect(int32_t dispid,
                         Args args,
                         std::initializer_list<Value::Type> types) const {
  const auto where = [&] { return std::string(type_name_) + " " + std::to_string(dispid); };
  if (args.size() != types.size())
    throw AutomationError(where() + ": wrong number of arguments", kBadParamCount);
  size_t i = 0;
  for (const Value::Type type : types) {
    // An object argument may be empty (a null interface).
    const bool empty_object = type == Value::Type::Object && args[i].IsEmpty();
    if (args[i].type() != type && !empty_object)
      throw AutomationError(where() + ": argument " + std::to_string(i + 1) + " has the wrong type",
                            kTypeMismatch);
    ++i;
  }
}

template <typename T>
T* As(const Value& value) {
  return dynamic_cast<T*>(value.AsObject().get());
}

// ---------------------------------------------------------------------------------------------
// Records and arrays

class SimDynArray : public SimDispatch {
 public:
  SimDynArray(SimHost& host, int32_t type) : SimDispatch(host, "DynArray"), type_(type) {}
  const std::vector<DispatchRef>& items() const { return items_; }

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (dispid == 7 && kind == InvokeKind::Method) {
      Expect(dispid, args, {Value::Type::Int32, Value::Type::Object});
      const int32_t index = args[0].AsInt();
      const auto position = index < 0 || index >= static_cast<int32_t>(items_.size())
                                ? items_.end()
                                : items_.begin() + index;
      items_.insert(position, args[1].AsObject());
      return Value::Int32(static_cast<int32_t>(items_.size()));
    }
    NotFound(dispid);
  }

 private:
  int32_t type_;
  std::vector<DispatchRef> items_;
};

class SimParamRecord : public SimDispatch {
 public:
  SimParamRecord(SimHost& host, int16_t type) : SimDispatch(host, "ParamRecord"), type_(type) {}
  int16_t record_type() const { return type_; }
  const std::string& text() const { return text_; }
  int32_t integer() const { return integer_; }
  double real() const { return real_; }
  SimDynArray* array() const { return dynamic_cast<SimDynArray*>(array_.get()); }
  void set_column_name(std::string name) { column_name_ = std::move(name); }

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind == InvokeKind::Put)
      return HandlePut(dispid, args);
    if (kind == InvokeKind::Get && dispid == 5) {
      Expect(dispid, args, {});
      return Value::Text(column_name_);
    }
    switch (dispid) {
      case 3:
      case 6:
      case 11:
        Expect(dispid, args, {});
        initialised_ = true;
        return Value::Boolean(true);
      case 2:
        Expect(dispid, args, {});
        if (type_ != 6)
          return Value();
        if (!sub_record_)
          sub_record_ = std::make_shared<SimParamRecord>(host_, 0);
        return Value::Object(sub_record_);
      case 5:
        Expect(dispid, args, {Value::Type::Object});
        array_ = args[0].AsObject();
        return Value::Boolean(array() != nullptr);
    }
    NotFound(dispid);
  }

 private:
  Value HandlePut(int32_t dispid, Args args) {
    switch (dispid) {
      case 1:
        Expect(dispid, args, {Value::Type::Int16});
        mode_ = static_cast<int16_t>(args[0].AsInt());
        return Value();
      case 2:
        Expect(dispid, args, {Value::Type::Text});
        text_ = args[0].AsText();
        return Value();
      case 3:
      case 7:
        Expect(dispid, args, {Value::Type::Double});
        (dispid == 3 ? scale_ : real_) = args[0].AsDouble();
        return Value();
      case 4:
      case 5:
        Expect(dispid, args, {Value::Type::Int32});
        (dispid == 4 ? integer_ : flags_) = args[0].AsInt();
        return Value();
    }
    NotFound(dispid);
  }

  int16_t type_;
  bool initialised_ = false;
  int16_t mode_ = 0;
  std::string text_;
  double scale_ = 0, real_ = 0;
  int32_t integer_ = 0, flags_ = 0;
  std::string column_name_;
  DispatchRef array_;
  std::shared_ptr<SimParamRecord> sub_record_;
};

// ---------------------------------------------------------------------------------------------
// Model items

class SimModelItem : public SimDispatch {
 public:
  SimModelItem(SimHost& host, std::string text)
      : SimDispatch(host, "ModelItem"), text_(std::move(text)) {}
  const std::string& text() const { return text_; }

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (dispid == 1 && kind == InvokeKind::Get) {
      Expect(dispid, args, {});
      return Value::Text(text_);
    }
    NotFound(dispid);
  }

 private:
  std::string text_;
};

class SimItemCollection : public SimDispatch {
 public:
  SimItemCollection(SimHost& host, std::shared_ptr<SimDocument> document)
      : SimDispatch(host, "ItemCollection"), document_(std::move(document)) {}

 protected:
  // Item 0 is the model itself; the document's items follow from index 1.
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Method)
      NotFound(dispid);
    const auto count = static_cast<int32_t>(document_->model_items.size() + 1);
    if (dispid == 2) {
      Expect(dispid, args, {});
      return Value::Int32(count);
    }
    if (dispid == 8) {
      Expect(dispid, args, {Value::Type::Int32});
      const int32_t index = args[0].AsInt();
      if (index < 0 || index >= count)
        return Value();
      const std::string text = index == 0 ? "model" : document_->model_items[index - 1];
      return Value::Object(std::make_shared<SimModelItem>(host_, text));
    }
    NotFound(dispid);
  }

 private:
  std::shared_ptr<SimDocument> document_;
};

// ---------------------------------------------------------------------------------------------
// The editor of a document's objects

class SimSpecEditor : public SimDispatch {
 public:
  SimSpecEditor(SimHost& host, std::shared_ptr<SimDocument> document)
      : SimDispatch(host, "SpecEditor"), document_(std::move(document)) {}

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Method)
      NotFound(dispid);
    switch (dispid) {
      case 3:
        return Create(args);
      case 4:
        return SetColumn(args);
      case 1:
        Expect(dispid, args, {});
        return Value::Int32(current_);
      case 2:
        Expect(dispid, args, {Value::Type::Int32});
        current_ = ValidReference(args[0].AsInt()) ? args[0].AsInt() : 0;
        return Value::Int32(current_);
      case 18:
        return ColumnCount(args);
      case 19:
        return DescribeColumn(args);
      case 26:
        return Link(args);
    }
    NotFound(dispid);
  }

 private:
  bool ValidReference(int32_t reference) const {
    return reference >= 1 && reference <= static_cast<int32_t>(document_->objects.size());
  }
  SimObject* Current() {
    return ValidReference(current_) ? &document_->objects[current_ - 1] : nullptr;
  }

  // An object of an unknown style library or style is refused, as the host refuses it.
  Value Create(Args args) {
    Expect(3, args,
           {Value::Type::Text, Value::Type::Int32, Value::Type::Int32, Value::Type::Int32,
            Value::Type::Double, Value::Type::Int16});
    current_ = 0;
    if (host_.refuse_objects() || !host_.FindStyle(args[0].AsText(), args[1].AsInt()))
      return Value::Int32(0);
    SimObject object;
    object.library = args[0].AsText();
    object.style = args[1].AsInt();
    object.section = args[2].AsInt();
    document_->objects.push_back(std::move(object));
    current_ = static_cast<int32_t>(document_->objects.size());
    return Value::Int32(current_);
  }

  // The value is read from the last item record of the line record's array, by the value type.
  Value SetColumn(Args args) {
    Expect(4, args,
           {Value::Type::Int32, Value::Type::Int32, Value::Type::Object, Value::Type::Int16});
    SimObject* object = Current();
    auto* line = As<SimParamRecord>(args[2]);
    if (!object || !line || !line->array() || line->array()->items().empty())
      return Value::Int32(0);
    auto* item = dynamic_cast<SimParamRecord*>(line->array()->items().back().get());
    if (!item)
      return Value::Int32(0);
    SimColumnValue value;
    value.column = args[0].AsInt();
    value.type = static_cast<int16_t>(args[3].AsInt());
    if (value.type == 8)
      value.text = item->text();
    else if (value.type == 3)
      value.number = item->integer();
    else if (value.type == 7)
      value.number = item->real();
    else
      throw AutomationError("unknown column value type", kTypeMismatch);
    object->columns.push_back(std::move(value));
    return Value::Int32(1);
  }

  // Part 0 counts the style's main columns with the format column 0; part 1 its extra columns.
  Value ColumnCount(Args args) {
    Expect(18, args, {Value::Type::Text, Value::Type::Int32, Value::Type::Int16});
    const SimObject* object = Current();
    const SimStyle* style = object ? host_.FindStyle(object->library, object->style) : nullptr;
    if (!style)
      return Value::Int32(0);
    const auto main = static_cast<int32_t>(style->main_columns.size() + 1);
    const auto extra = static_cast<int32_t>(style->extra_columns.size());
    return Value::Int32(args[2].AsInt() == 0 ? main : extra);
  }

  Value DescribeColumn(Args args) {
    Expect(19, args, {Value::Type::Int32, Value::Type::Int32, Value::Type::Object});
    auto* record = As<SimParamRecord>(args[2]);
    const int32_t reference = args[0].AsInt();
    if (!record || !ValidReference(reference))
      return Value::Int32(0);
    const SimObject& object = document_->objects[reference - 1];
    const SimStyle* style = host_.FindStyle(object.library, object.style);
    if (!style)
      return Value::Int32(0);
    for (const auto* columns : {&style->main_columns, &style->extra_columns}) {
      for (const SimStyleColumn& column : *columns) {
        if (column.number == args[1].AsInt()) {
          record->set_column_name(column.name);
          return Value::Int32(1);
        }
      }
    }
    return Value::Int32(0);
  }

  Value Link(Args args) {
    Expect(26, args, {Value::Type::Object, Value::Type::Bool});
    SimObject* object = Current();
    auto* item = As<SimModelItem>(args[0]);
    if (!object || !item)
      return Value::Boolean(false);
    object->link = item->text();
    return Value::Boolean(true);
  }

  std::shared_ptr<SimDocument> document_;
  int32_t current_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Documents

class SimDocumentObject : public SimDispatch {
 public:
  SimDocumentObject(SimHost& host, std::shared_ptr<SimDocument> document, const char* type_name)
      : SimDispatch(host, type_name), document_(std::move(document)) {}

 protected:
  Value Editor(int32_t dispid, Args args) {
    Expect(dispid, args, {});
    return Value::Object(std::make_shared<SimSpecEditor>(host_, document_));
  }
  std::shared_ptr<SimDocument> document_;
};

class SimGraphicDocument : public SimDocumentObject {
 public:
  SimGraphicDocument(SimHost& host, std::shared_ptr<SimDocument> document)
      : SimDocumentObject(host, std::move(document), "GraphicDocument") {}

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (dispid == 177 && kind == InvokeKind::Method)
      return Editor(dispid, args);
    NotFound(dispid);
  }
};

class SimModelDocument : public SimDocumentObject {
 public:
  SimModelDocument(SimHost& host, std::shared_ptr<SimDocument> document)
      : SimDocumentObject(host, std::move(document), "ModelDocument") {}

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Method)
      NotFound(dispid);
    switch (dispid) {
      case 13:
        return Editor(dispid, args);
      case 29:
        Expect(dispid, args, {Value::Type::Bool});
        return Value::Object(std::make_shared<SimItemCollection>(host_, document_));
      case 32:
        Expect(dispid, args, {});
        return Value::Boolean(true);
    }
    NotFound(dispid);
  }
};

class SimSpecDocument : public SimDocumentObject {
 public:
  SimSpecDocument(SimHost& host, std::shared_ptr<SimDocument> document)
      : SimDocumentObject(host, std::move(document), "SpecDocument") {}

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Method)
      NotFound(dispid);
    switch (dispid) {
      case 3:
        return Editor(dispid, args);
      case 12: {
        // Opening a file replaces the document's contents with the file's objects. The host
        // is handed its paths as code page 1251 texts, as every text.
        Expect(dispid, args, {Value::Type::Text, Value::Type::Int16});
        const std::string path = Utf8PathFromCp1251(args[0].AsText());
        SimDocument loaded;
        if (!OpenDocument(path, loaded))
          return Value::Boolean(false);
        document_->objects = std::move(loaded.objects);
        document_->opened_path = path;
        return Value::Boolean(true);
      }
      case 7: {
        Expect(dispid, args, {Value::Type::Text});
        const std::string path = Utf8PathFromCp1251(args[0].AsText());
        if (!SaveDocument(*document_, path))
          return Value::Boolean(false);
        document_->saved_path = path;
        return Value::Boolean(true);
      }
      case 4:
        Expect(dispid, args, {});
        document_->no_name_chosen = true;
        return Value::Boolean(true);
    }
    NotFound(dispid);
  }
};

// ---------------------------------------------------------------------------------------------
// The application

class SimApplication : public SimDispatch {
 public:
  explicit SimApplication(SimHost& host) : SimDispatch(host, "ZentarObject") {}

 protected:
  Value Handle(int32_t dispid, InvokeKind kind, Args args) override {
    if (kind != InvokeKind::Method)
      NotFound(dispid);
    switch (dispid) {
      case 3:
        return ActiveDocument(dispid, args, host_.ActiveModelDocument());
      case 5:
        return ActiveDocument(dispid, args, host_.ActiveGraphicDocument());
      case 11:
        return ActiveDocument(dispid, args, host_.ActiveSpecDocument());
      case 9:
        Expect(dispid, args, {Value::Type::Int16});
        return Value::Object(
            std::make_shared<SimParamRecord>(host_, static_cast<int16_t>(args[0].AsInt())));
      case 10:
        Expect(dispid, args, {});
        return Value::Object(host_.DocumentObject(host_.NewDocument(SimDocumentKind::Spec)));
      case 14:
        Expect(dispid, args, {Value::Type::Int32});
        host_.set_host_input(args[0].AsInt());
        return Value::Boolean(true);
      case 15:
        Expect(dispid, args, {});
        return Value::Int32(host_.host_state());
      case 39:
        Expect(dispid, args, {Value::Type::Int32});
        return Value::Object(std::make_shared<SimDynArray>(host_, args[0].AsInt()));
    }
    NotFound(dispid);
  }

 private:
  Value ActiveDocument(int32_t dispid, Args args, SimDocument* document) {
    Expect(dispid, args, {});
    for (const auto& held : host_.documents()) {
      if (held.get() == document)
        return Value::Object(host_.DocumentObject(held));
    }
    return Value();
  }
};

SimStyle Style(std::vector<std::string> main, std::vector<std::string> extra) {
  SimStyle style;
  int32_t number = 1;
  for (auto& name : main)
    style.main_columns.push_back({number++, std::move(name)});
  for (auto& name : extra)
    style.extra_columns.push_back({number++, std::move(name)});
  return style;
}

}  // namespace

// The host's own style libraries: the specification style 1, the list-of-elements style 3 and
// the purchased-items style 11. Style 1 of the graphic library carries the three extra columns
// the library looks up by name; that of the vector library has none.
SimHost::SimHost() {
  const std::vector<std::string> spec = {"Формат",       "Зона", "Поз.",      "Обозначение",
                                         "Наименование", "Кол.", "Примечание"};
  const std::vector<std::string> list = {"Поз. обозначение", "Наименование", "Кол.", "Примечание"};
  const std::vector<std::string> purchased = {"№ строки",
                                              "Наименование",
                                              "Код продукции",
                                              "Обозначение документа на поставку",
                                              "Поставщик",
                                              "Куда входит",
                                              "Количество на изделие",
                                              "Количество в комплекты",
                                              "Количество на регулировку",
                                              "Количество всего",
                                              "Примечание"};
  for (const char* library : {"graphic.lyt", "vector.lyt", "zURO_gr.lyt", "zURO_vc.lyt"}) {
    const bool graphic_spec = std::string(library) == "graphic.lyt";
    styles_[library][1] =
        Style(spec, graphic_spec ? std::vector<std::string>{"БЦО", "Обозн_СТ", "PartLib"}
                                 : std::vector<std::string>{});
    styles_[library][3] = Style(list, {});
    styles_[library][11] = Style(purchased, {});
  }
  application_ = std::make_shared<SimApplication>(*this);
}

SimHost::~SimHost() = default;

DispatchRef SimHost::Application() {
  return application_;
}

std::shared_ptr<SimDocument> SimHost::NewDocument(SimDocumentKind kind) {
  auto document = std::make_shared<SimDocument>();
  document->kind = kind;
  documents_.push_back(document);
  return document;
}

DispatchRef SimHost::DocumentObject(const std::shared_ptr<SimDocument>& document) {
  switch (document->kind) {
    case SimDocumentKind::Graphic:
      return std::make_shared<SimGraphicDocument>(*this, document);
    case SimDocumentKind::Model:
      return std::make_shared<SimModelDocument>(*this, document);
    case SimDocumentKind::Spec:
      return std::make_shared<SimSpecDocument>(*this, document);
  }
  return nullptr;
}

SimDocument& SimHost::OpenGraphicDocument() {
  graphic_ = NewDocument(SimDocumentKind::Graphic);
  return *graphic_;
}

SimDocument& SimHost::OpenModelDocument(std::vector<std::string> item_texts) {
  model_ = NewDocument(SimDocumentKind::Model);
  model_->model_items = std::move(item_texts);
  return *model_;
}

SimDocument& SimHost::OpenSpecDocument() {
  spec_ = NewDocument(SimDocumentKind::Spec);
  return *spec_;
}

void SimHost::CloseAllDocuments() {
  graphic_.reset();
  model_.reset();
  spec_.reset();
}

void SimHost::FailCall(const std::string& object_type, int32_t dispid) {
  failing_calls_.emplace_back(object_type, dispid);
}

bool SimHost::ShouldFail(std::string_view object_type, int32_t dispid) const {
  return std::any_of(failing_calls_.begin(), failing_calls_.end(), [&](const auto& call) {
    return call.first == object_type && call.second == dispid;
  });
}

std::string SimHost::CallLogText() const {
  std::string text;
  for (const std::string& line : log_)
    text += line + "\n";
  return text;
}

SimDocument* SimHost::TargetDocument() const {
  if (graphic_)
    return graphic_.get();
  if (model_)
    return model_.get();
  for (auto it = documents_.rbegin(); it != documents_.rend(); ++it) {
    if ((*it)->kind == SimDocumentKind::Spec)
      return it->get();
  }
  return nullptr;
}

const SimStyle* SimHost::FindStyle(const std::string& library, int32_t style) const {
  const auto found = styles_.find(library);
  if (found == styles_.end())
    return nullptr;
  const auto numbered = found->second.find(style);
  return numbered == found->second.end() ? nullptr : &numbered->second;
}

}  // namespace zuro::standin
