#include "records/Rubr.h"

namespace qzr {

namespace {

struct TRubrRow {
    int32_t type;
    int32_t kod;
    int32_t attr;
    const char* name;
};

// In the order they are added; the index, not this order, decides where each row stands.
constexpr TRubrRow kRows[] = {
    {rubrCalibrModes, 1, 0, "Авто"},
    {rubrCalibrModes, 2, 0, "Ручная"},
    {rubrCalibrModes, 0, 0, "Заводская"},
    {rubrUsagePages, 1, 0, "Generic Desktop"},
    {rubrUsagePages, 2, 0, "Simulation Controls"},
    {rubrUsages, 48, 1, "X"},
    {rubrUsages, 49, 1, "Y"},
    {rubrUsages, 50, 1, "Z"},
    {rubrUsages, 51, 1, "Rx"},
    {rubrUsages, 52, 1, "Ry"},
    {rubrUsages, 53, 1, "Rz"},
    {rubrUsages, 54, 1, "Slider"},
    {rubrUsages, 55, 1, "Dial"},
    {rubrUsages, 56, 2, "Wheel"},
    {rubrUsages, 186, 2, "Rudder"},
    {rubrUsages, 187, 2, "Throttle"},
    {rubrFilterDegrees, 2, 0, "2"},
    {rubrFilterDegrees, 3, 0, "3"},
    {rubrFilterDegrees, 4, 0, "4"},
    {rubrFilterDegrees, 5, 0, "5"},
};

} // namespace

std::string RubrPlaceholder(int32_t type, int32_t kod) {
    return "??? " + std::to_string(type) + ":" + std::to_string(kod);
}

std::string RubrName(TRubr* classifier, int32_t type, int32_t kod) {
    return classifier ? classifier->GetRubrName(type, kod) : RubrPlaceholder(type, kod);
}

TRubr::TRubr()
    : cdsRubr("cdsRubr"),
      Type(cdsRubr.AddField("Type", TFieldType::Integer)),
      Kod(cdsRubr.AddField("Kod", TFieldType::Integer)),
      Name(cdsRubr.AddField("Name", TFieldType::String, 50)),
      Attr(cdsRubr.AddField("Attr", TFieldType::Integer)) {
    Type.Visible = false;
    Kod.Visible = false;
    Kod.DisplayLabel = "Код";
    Attr.Visible = false;
    Name.DisplayLabel = "Наименование";
    Name.DisplayWidth = 59;
    cdsRubr.SetIndexFieldNames("Type;Attr;Kod");
}

void TRubr::FormCreate() {
    for (const TRubrRow& row : kRows) AddRubr(row.type, row.kod, row.attr, row.name);
}

void TRubr::AddRubr(int32_t type, int32_t kod, int32_t attr, const std::string& name) {
    cdsRubr.InsertBlank();
    Type.SetInteger(type);
    Kod.SetInteger(kod);
    Attr.SetInteger(attr);
    Name.SetString(name);
    cdsRubr.PostRecord();
}

std::string TRubr::GetRubrName(int32_t type, int32_t kod) {
    if (cdsRubr.LocateByValues("Type;Kod", {int64_t{type}, int64_t{kod}})) return Name.AsString();
    return RubrPlaceholder(type, kod);
}

int TRubr::SelectRubr(int32_t type, int32_t attr) {
    cdsRubr.SetKeyRange({int64_t{type}, int64_t{attr}}, {int64_t{type}, int64_t{attr}});
    const int result = ShowPickDialog ? ShowPickDialog() : mrCancel;
    // OK on an empty list chose nothing: no code of another list may reach the caller.
    const bool rowChosen = cdsRubr.HasCurrent();
    cdsRubr.ClearKeyRange();
    return result == mrOk && rowChosen ? mrOk : mrCancel;
}

} // namespace qzr
