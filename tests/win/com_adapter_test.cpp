// The automation adapter over real COM, against the stand-in host's zapi5.dll: argument order and
// types, texts in code page 1251 through BSTR, objects passed back as arguments, failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleauto.h>

#include "base/text_encoding.h"
#include "automation/host_objects.h"
#include "automation/idispatch_win32.h"
#include "standin/zapi5.h"

namespace zuro::automation {
namespace {

std::string TargetJson() {
  std::string json(ZsimTargetDocumentJson(nullptr, 0), '\0');
  ZsimTargetDocumentJson(json.data(), static_cast<int>(json.size()));
  json.pop_back();
  return Utf8ToCp1251(json);
}

TEST(ComAdapter, EveryCp1251ByteSurvivesTheBstrRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  VARIANT variant;
  ValueToVariant(Value::Text(all), variant);
  ASSERT_EQ(variant.vt, VT_BSTR);
  EXPECT_EQ(SysStringLen(variant.bstrVal), 255u);
  EXPECT_EQ(VariantToValue(variant, WrapIDispatch).AsText(), all);
  VariantClear(&variant);
}

TEST(ComAdapter, NumbersKeepTheirTypes) {
  for (const Value& value : {Value::Int16(-6), Value::Int32(70000), Value::Real(0.125),
                             Value::Boolean(true), Value::Boolean(false)}) {
    VARIANT variant;
    ValueToVariant(value, variant);
    EXPECT_EQ(VariantToValue(variant, WrapIDispatch), value);
    VariantClear(&variant);
  }
}

// Writes one specification object the way the generators do and reads it back from the host.
TEST(ComAdapter, WritesAnObjectThroughTheHostsObjects) {
  ZsimOpenGraphicDocument();
  ZentarObject application(WrapIDispatch(CallCreateZentarObject()));
  ASSERT_FALSE(application.empty());
  SpecEditor editor = application.ActiveGraphicDocument().Editor();
  ParamRecord line = application.NewParamRecord(kTextLineRecord);
  ParamRecord item = application.NewParamRecord(kTextItemRecord);
  ASSERT_FALSE(editor.empty() || line.empty() || item.empty());
  EXPECT_TRUE(line.Initialise(6));
  EXPECT_TRUE(item.Initialise(11));

  const int32_t reference = editor.CreateObject("graphic.lyt", 1, 30);
  ASSERT_GT(reference, 0);
  const auto set_column = [&](int32_t column, int16_t type) {
    DynArray array = application.NewDynArray(kDynArrayOfItems);
    line.AttachArray(array);
    array.Append(item);
    return editor.SetColumn(column, line, type);
  };
  item.SetText("Резистор С2-33Н-0,125-4,7 кОм±5%");
  EXPECT_EQ(set_column(5, kColumnText), 1);
  item.SetInteger(12);
  EXPECT_EQ(set_column(6, kColumnInteger), 1);
  item.SetReal(2.5);
  EXPECT_EQ(set_column(7, kColumnReal), 1);
  EXPECT_EQ(editor.Finish(), reference);

  // The style's extra columns are found by name; the name comes back as code page 1251.
  EXPECT_EQ(editor.Reopen(reference), reference);
  const int32_t columns = editor.ColumnCount("", 0, 0) + editor.ColumnCount("", 0, 1) - 1;
  EXPECT_EQ(columns, 10);
  ParamRecord column = application.NewParamRecord(kColumnRecord);
  EXPECT_EQ(editor.DescribeColumn(reference, 8, column), 1);
  EXPECT_EQ(column.ColumnName(), "БЦО");

  const std::string json = TargetJson();
  EXPECT_NE(json.find("\"value\": \"Резистор С2-33Н-0,125-4,7 кОм±5%\""), std::string::npos)
      << json;
  EXPECT_NE(json.find("\"value\": 12"), std::string::npos) << json;
  EXPECT_NE(json.find("\"value\": 2.5"), std::string::npos) << json;
}

TEST(ComAdapter, HostFailuresBecomeAutomationErrors) {
  DispatchRef application = WrapIDispatch(CallCreateZentarObject());
  // An unknown member, and a 32-bit value where the host takes a 16-bit one.
  EXPECT_THROW(application->Invoke(99, InvokeKind::Method, {}), AutomationError);
  const Value wrong_type[] = {Value::Int32(6)};
  EXPECT_THROW(application->Invoke(9, InvokeKind::Method, wrong_type), AutomationError);
  const Value right_type[] = {Value::Int16(6)};
  EXPECT_EQ(application->Invoke(9, InvokeKind::Method, right_type).type(), Value::Type::Object);
}

}  // namespace
}  // namespace zuro::automation
