// The objects of the list of elements and of the purchased-items list: one per item, with the
// style, section and columns the host's forms expect.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "generation/designators.h"
#include "generation/generation_run.h"
#include "base/leading_numbers.h"

namespace zuro::generation {

namespace {

constexpr int32_t kListStyle = 3;
constexpr int32_t kPurchaseStyle = 11;
constexpr int32_t kNoSection = 200;

}  // namespace

// A refused object is skipped; the editor is finished in any case, as the host expects of every
// object it was asked for.
void WriteListObject(const ItemTexts& item,
                     OutputDevice device,
                     const DocumentTarget& target,
                     RangeSeparator separator) {
  ObjectWriter object(target);
  if (!object.Ready())
    return;
  if (object.Create(ListStyleLibrary(device == OutputDevice::kVector), kListStyle,
                    DesignatorSection(item.designators))) {
    object.SetText(2, item.list_name);
    object.SetInteger(3, ColumnInteger(item.count));
    object.SetText(1, DocumentRanges(item.designators, separator));
    object.SetText(4, item.list_note);
  }
  object.Finish();
}

// Columns 1, 6 and 11 of the style are the host's own. An item without a purchase name is no
// purchased item of a kind: it goes to the last section.
void WritePurchaseObject(const ItemTexts& item, OutputDevice device, const DocumentTarget& target) {
  ObjectWriter object(target);
  if (!object.Ready())
    return;
  const int32_t section =
      item.purchase_name.empty() ? kNoSection : DesignatorSectionNoTrim(item.designators);
  if (!object.Create(ListStyleLibrary(device == OutputDevice::kVector), kPurchaseStyle, section))
    return;
  object.SetText(2, item.purchase_name);
  object.SetText(3, item.product_code);
  object.SetText(4, item.supply_document);
  object.SetText(5, item.supplier);
  object.SetReal(7, LeadingReal(item.count));
  object.SetReal(8, LeadingReal(item.kits_quantity));
  object.SetReal(9, LeadingReal(item.adjustment_quantity));
  object.SetReal(10, LeadingReal(item.total_quantity));
  object.Finish();
}

}  // namespace zuro::generation
