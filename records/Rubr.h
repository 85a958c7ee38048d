#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "records/RecordSet.h"

namespace qzr {

// Classifier list numbers.
constexpr int32_t rubrCalibrModes = 10;
constexpr int32_t rubrUsagePages = 20;
constexpr int32_t rubrUsages = 30;
constexpr int32_t rubrFilterDegrees = 50;

constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// The fixed table of codes and names, and the range handling of a pick around the modal list
// that the classifier dialog shows.
class TRubr {
public:
    TRubr();

    TRecordSet cdsRubr;   // Type, Kod, Name, Attr; index Type;Attr;Kod
    TField& Type;
    TField& Kod;
    TField& Name;
    TField& Attr;

    void FormCreate();    // adds the twenty rows
    void AddRubr(int32_t type, int32_t kod, int32_t attr, const std::string& name);

    // The name of code `kod` in list `type`, or "??? <type>:<kod>".
    std::string GetRubrName(int32_t type, int32_t kod);

    // Shows the rows of list `type`, sub-list `attr` through ShowPickDialog, which runs the
    // modal dialog and returns its result. Returns mrOk only when a row was chosen; the chosen
    // row is then the current row of cdsRubr (see ChosenKod).
    int SelectRubr(int32_t type, int32_t attr);
    int32_t ChosenKod() const { return static_cast<int32_t>(Kod.AsInteger()); }

    std::function<int()> ShowPickDialog;
};

// Placeholder text for a code the classifier does not know.
std::string RubrPlaceholder(int32_t type, int32_t kod);

// GetRubrName of `classifier`, or the placeholder while there is none yet.
std::string RubrName(TRubr* classifier, int32_t type, int32_t kod);

} // namespace qzr
