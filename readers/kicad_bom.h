// KiCad's bill of materials as delimited text, which the Altium Designer window reads where its
// own layouts give no component: the CSV of KiCad's BOM export ("Reference","Qty","Value",...),
// the older export of grouped parts (Ref,Qnty,Value,Cmp name,Footprint,...) and the same tables
// separated by ";". A title block of "key,value" lines may stand before the header. Such a
// report is read whole or refused.
#pragma once

#include <optional>
#include <string_view>

#include "readers/protel_family_report.h"
#include "readers/report_attributes.h"
#include "table/grid_model.h"

namespace zuro::readers {

// Nothing, with the table and the attributes as they were, when the report holds no header line
// of a KiCad bill of materials. Otherwise the reading: the table filled and the quoted CSV kept
// beside the report, or a refusal with the table emptied and the reason in attributes.refusal.
std::optional<ProtelFamilyReading> ReadKicadBom(std::string_view report,
                                                table::GridModel& table,
                                                ReportAttributes& attributes);

}  // namespace zuro::readers
