#include "records/RecordSet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace qzr {
namespace {

const char* KindName(TDataEvent kind)
{
    switch (kind) {
    case TDataEvent::FieldChange: return "FieldChange";
    case TDataEvent::RecordChange: return "RecordChange";
    case TDataEvent::SetChange: return "SetChange";
    case TDataEvent::StateChange: return "StateChange";
    }
    return "?";
}

// A bound control that writes down what it is told and can hold a pending user edit.
class RecordingLink : public TDataLink {
public:
    explicit RecordingLink(std::vector<std::string>& log) : log_(log) {}

    void DataEvent(TDataEvent kind, TField* field) override
    {
        std::string entry = KindName(kind);
        if (field)
            entry += " " + field->FieldName();
        if (describe)
            entry += " " + describe();
        log_.push_back(entry);
        if (onEvent)
            onEvent();
    }
    void CommitPendingEdit() override
    {
        if (pendingEdit)
            std::exchange(pendingEdit, nullptr)();
    }

    std::function<std::string()> describe;
    std::function<void()> onEvent;
    std::function<void()> pendingEdit;

private:
    std::vector<std::string>& log_;
};

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ERecordSetError& error) {
        return error.what();
    }
    return "no error";
}

class RecordSetTest : public ::testing::Test {
protected:
    RecordSetTest()
        : set("cdsTest"),
          Zic(set.AddField("Zic", TFieldType::Word)),
          Count(set.AddField("Count", TFieldType::Integer)),
          Flag(set.AddField("Flag", TFieldType::Boolean)),
          Name(set.AddField("Name", TFieldType::String)),
          Ratio(set.AddField("Ratio", TFieldType::Float)),
          source(&set, "dsTest"),
          link(log)
    {
        source.AddLink(&link);
    }
    ~RecordSetTest() override { SetDecimalSeparator('.'); }

    void AddRecord(int64_t zic, const std::string& name = {})
    {
        set.AppendBlank();
        Zic.SetInteger(zic);
        if (!name.empty())
            Name.SetString(name);
        set.PostRecord();
    }
    void CountChanges(TField& field, int& counter)
    {
        field.OnChange = [&counter](TField&) { ++counter; };
    }

    TRecordSet set;
    TField& Zic;
    TField& Count;
    TField& Flag;
    TField& Name;
    TField& Ratio;
    TDataSource source;
    std::vector<std::string> log;
    RecordingLink link;
};

TEST_F(RecordSetTest, StartEditOnEmptySetInsertsAndPostLeavesOneRecordWithNulls)
{
    set.StartEdit();
    EXPECT_EQ(set.State(), TDataSetState::Insert);
    ASSERT_TRUE(set.HasCurrent());
    Zic.SetInteger(7);
    set.PostRecord();

    EXPECT_EQ(set.State(), TDataSetState::Browse);
    EXPECT_FALSE(set.Modified());
    ASSERT_EQ(set.RecordCount(), 1);
    EXPECT_EQ(set.RecNo(), 0);
    EXPECT_EQ(Zic.AsInteger(), 7);
    for (TField* field : {&Count, &Flag, &Name, &Ratio}) {
        SCOPED_TRACE(field->FieldName());
        EXPECT_TRUE(field->IsNull());
        EXPECT_EQ(field->AsInteger(), 0);
        EXPECT_FALSE(field->AsBoolean());
        EXPECT_EQ(field->DisplayText(), "");
        EXPECT_TRUE(field->IsNullAt(0));
    }
}

TEST_F(RecordSetTest, EmptySetWhileEditingStoresTheRecordBeforeRemovingAll)
{
    AddRecord(1);
    AddRecord(2);
    set.StartEdit();
    Zic.SetInteger(42);
    link.describe = [&] { return std::to_string(set.RecordCount()) + ":" + Zic.DisplayText(); };
    log.clear();

    set.EmptySet();

    EXPECT_EQ(log, (std::vector<std::string>{"StateChange 2:42", "SetChange 2:42", "SetChange 0:"}));
    EXPECT_EQ(set.State(), TDataSetState::Browse);
    EXPECT_EQ(set.RecordCount(), 0);
    EXPECT_FALSE(set.HasCurrent());
    EXPECT_EQ(set.RecNo(), -1);
}

TEST_F(RecordSetTest, EveryAssignmentRunsTheHandlerEvenWithTheSameValue)
{
    int changes = 0;
    CountChanges(Zic, changes);
    set.StartEdit();
    log.clear();
    Zic.SetInteger(5);
    Zic.SetInteger(5);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"FieldChange Zic", "FieldChange Zic"}));
}

TEST_F(RecordSetTest, AssignmentStoresThenFlagsThenRunsHandlerThenTellsControls)
{
    set.StartEdit();
    set.PostRecord();
    set.StartEdit();
    ASSERT_FALSE(set.Modified());
    std::vector<std::string> order;
    Zic.OnChange = [&](TField& sender) {
        order.push_back("OnChange " + sender.DisplayText() + (set.Modified() ? " modified" : ""));
    };
    link.onEvent = [&] { order.push_back("control " + Zic.DisplayText() + (set.Modified() ? " modified" : "")); };

    Zic.SetInteger(9);

    EXPECT_EQ(order, (std::vector<std::string>{"OnChange 9 modified", "control 9 modified"}));
}

TEST_F(RecordSetTest, NestedHandlersFinishInnermostFirst)
{
    std::vector<std::string> order;
    Zic.OnChange = [&](TField&) {
        order.push_back("Zic begins");
        Count.SetInteger(Zic.AsInteger() + 1);
        order.push_back("Zic ends");
    };
    Count.OnChange = [&](TField&) {
        order.push_back("Count begins");
        Name.SetString("n" + Count.DisplayText());
        order.push_back("Count ends");
    };
    Name.OnChange = [&](TField&) { order.push_back("Name sees " + Name.AsString()); };
    set.StartEdit();

    Zic.SetInteger(1);
    order.push_back("assignment returned");

    EXPECT_EQ(order, (std::vector<std::string>{"Zic begins", "Count begins", "Name sees n2", "Count ends",
                                               "Zic ends", "assignment returned"}));
}

struct RangeCase {
    TFieldType type;
    std::string label;
    std::function<void(TField&)> assign;
    std::string error;
};

TEST_F(RecordSetTest, OutOfRangeIntegersAreRefusedAndChangeNothing)
{
    const RangeCase cases[] = {
        {TFieldType::Word, "", [](TField& f) { f.SetInteger(65536); },
         "65536 is not a valid value for field 'Value'. The allowed range is 0 to 65535"},
        {TFieldType::Word, "", [](TField& f) { f.SetInteger(-1); },
         "-1 is not a valid value for field 'Value'. The allowed range is 0 to 65535"},
        {TFieldType::Word, "Зона", [](TField& f) { f.SetText("70000"); },
         "70000 is not a valid value for field 'Зона'. The allowed range is 0 to 65535"},
        {TFieldType::Word, "", [](TField& f) { f.SetText("-3"); },
         "-3 is not a valid value for field 'Value'. The allowed range is 0 to 65535"},
        {TFieldType::Word, "", [](TField& f) { f.SetFloat(65535.6); },
         "65535.6 is not a valid value for field 'Value'. The allowed range is 0 to 65535"},
        {TFieldType::Integer, "", [](TField& f) { f.SetInteger(2147483648LL); },
         "2147483648 is not a valid value for field 'Value'. The allowed range is -2147483648 to 2147483647"},
        {TFieldType::Integer, "", [](TField& f) { f.SetInteger(-2147483649LL); },
         "-2147483649 is not a valid value for field 'Value'. The allowed range is -2147483648 to 2147483647"},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.error);
        TRecordSet zone("cdsZone");
        TField& field = zone.AddField("Value", c.type);
        field.DisplayLabel = c.label;
        int changes = 0;
        field.OnChange = [&](TField&) { ++changes; };
        TDataSource zoneSource(&zone);
        std::vector<std::string> events;
        RecordingLink zoneLink(events);
        zoneSource.AddLink(&zoneLink);
        zone.StartEdit();
        field.SetInteger(12);
        zone.PostRecord();
        zone.StartEdit();
        changes = 0;
        events.clear();

        EXPECT_EQ(ErrorOf([&] { c.assign(field); }), c.error);
        EXPECT_EQ(field.AsInteger(), 12);
        EXPECT_FALSE(zone.Modified());
        EXPECT_EQ(zone.State(), TDataSetState::Edit);
        EXPECT_EQ(changes, 0);
        EXPECT_TRUE(events.empty());
    }
}

TEST_F(RecordSetTest, RangeLimitsThemselvesAreAccepted)
{
    set.StartEdit();
    for (int64_t value : {0, 65535}) {
        Zic.SetInteger(value);
        EXPECT_EQ(Zic.AsInteger(), value);
    }
    for (int64_t value : {-2147483648LL, 2147483647LL}) {
        Count.SetInteger(value);
        EXPECT_EQ(Count.DisplayText(), std::to_string(value));
    }
}

TEST_F(RecordSetTest, AssignmentsInBrowseStateFailAndStoreNothing)
{
    AddRecord(3, "abc");
    int changes = 0;
    CountChanges(Zic, changes);
    CountChanges(Name, changes);
    log.clear();
    const std::function<void()> assignments[] = {
        [&] { Zic.SetInteger(4); },  [&] { Zic.SetText("4"); },     [&] { Zic.SetFloat(4); },
        [&] { Zic.SetBoolean(true); }, [&] { Zic.Clear(); },        [&] { Name.SetString("x"); },
        [&] { Zic.SetText("junk"); },  [&] { Zic.SetInteger(70000); },
    };
    for (const auto& assign : assignments) {
        EXPECT_EQ(ErrorOf(assign), "cdsTest: Dataset not in edit or insert mode");
        EXPECT_EQ(Zic.AsInteger(), 3);
        EXPECT_EQ(Name.AsString(), "abc");
        EXPECT_EQ(set.State(), TDataSetState::Browse);
    }
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(log.empty());
}

TEST(RecordSetGlobal, PostRecordInBrowseStateFailsWithTheSetsName)
{
    TRecordSet cdsGlobal("cdsGlobal");
    TField& devConf = cdsGlobal.AddField("DevConf", TFieldType::Word);
    cdsGlobal.StartEdit();
    devConf.SetInteger(17);
    cdsGlobal.PostRecord();

    EXPECT_EQ(ErrorOf([&] { cdsGlobal.PostRecord(); }), "cdsGlobal: Dataset not in edit or insert mode");
    EXPECT_EQ(cdsGlobal.State(), TDataSetState::Browse);
    EXPECT_EQ(cdsGlobal.RecordCount(), 1);
    EXPECT_EQ(devConf.AsInteger(), 17);
}

TEST(RecordSetStrings, LongStringsKeepTheirFirstSizeCharacters)
{
    struct Case {
        int size;
        std::string assigned;
        std::string kept;
    };
    const Case cases[] = {
        {0, "abcdefghijklmnopqrstuvwxy", "abcdefghijklmnopqrst"},
        {0, "абвгдеёжзийклмнопрстуфхцч", "абвгдеёжзийклмнопрст"},
        {0, "Контроллер не найден, правда", "Контроллер не найден"},
        {3, "a€😀b", "a€😀"},
        {5, "short", "short"},
        {5, "", ""},
        // Bytes outside well-formed UTF-8 each count as one character.
        {20, std::string(300, '\x9E'), std::string(20, '\x9E')},
        {3, "\xE2\x82" "abc", "\xE2\x82" "a"},           // lead byte cut short
        {2, "\xC0\x80xyz", "\xC0\x80"},                  // overlong NUL
        {2, "\xED\xA0\x80z", "\xED\xA0"},               // surrogate half
        {1, "\xF4\x90\x80\x80", "\xF4"},                // beyond U+10FFFF
        {2, "\xC3\xA9\xFFok", "\xC3\xA9\xFF"},         // é, then a byte that leads nothing
        {2, "\xF0\x9F\x98\x80\x80\x80", "\xF0\x9F\x98\x80\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.assigned);
        TRecordSet set("cdsStrings");
        TField& name = set.AddField("Name", TFieldType::String, c.size);
        TField& text = set.AddField("Text", TFieldType::String, c.size);
        set.StartEdit();
        name.SetString(c.assigned);
        text.SetText(c.assigned);
        EXPECT_EQ(name.AsString(), c.kept);
        EXPECT_EQ(text.DisplayText(), c.kept);
    }
}

TEST_F(RecordSetTest, StringFieldsDefaultToTwentyCharacters) { EXPECT_EQ(Name.Size(), 20); }

struct TextCase {
    std::string field;
    std::string text;
    std::string shown;   // display text afterwards, or the error text
    bool fails;
};

TEST_F(RecordSetTest, TextEntryIsParsedAsTheFieldsType)
{
    const TextCase cases[] = {
        {"Zic", "+12", "12", false},
        {"Zic", "65535", "65535", false},
        {"Zic", "", "", false},
        {"Zic", "12a", "'12a' is not a valid integer value for field 'Zic'", true},
        {"Zic", "1.5", "'1.5' is not a valid integer value for field 'Zic'", true},
        {"Zic", "+", "'+' is not a valid integer value for field 'Zic'", true},
        {"Count", "-2147483648", "-2147483648", false},
        {"Count", "2147483648", "'2147483648' is not a valid integer value for field 'Count'", true},
        {"Count", "99999999999999999999", "'99999999999999999999' is not a valid integer value for field 'Count'", true},
        {"Flag", "t", "True", false},
        {"Flag", "TRUE", "True", false},
        {"Flag", "fA", "False", false},
        {"Flag", "False", "False", false},
        {"Flag", "", "", false},
        {"Flag", "yes", "'yes' is not a valid boolean value for field 'Flag'", true},
        {"Flag", "Truex", "'Truex' is not a valid boolean value for field 'Flag'", true},
        {"Ratio", "", "", false},
        {"Ratio", "2.5", "2.5", false},
        {"Ratio", "-1e3", "-1000", false},
        {"Ratio", "1,5", "'1,5' is not a valid floating point value for field 'Ratio'", true},
        {"Ratio", "abc", "'abc' is not a valid floating point value for field 'Ratio'", true},
        {"Ratio", "inf", "'inf' is not a valid floating point value for field 'Ratio'", true},
        {"Ratio", "1e999", "'1e999' is not a valid floating point value for field 'Ratio'", true},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.field + " <- '" + c.text + "'");
        TField& field = set.FieldNamed(c.field);
        int changes = 0;
        CountChanges(field, changes);
        const std::string seed = field.DataType() == TFieldType::Boolean ? "True" : "1";
        set.StartEdit();
        field.SetText(seed);
        set.PostRecord();
        set.StartEdit();
        changes = 0;

        std::string error = ErrorOf([&] { field.SetText(c.text); });
        if (c.fails) {
            EXPECT_EQ(error, c.shown);
            EXPECT_EQ(field.DisplayText(), seed);
            EXPECT_EQ(changes, 0);
            EXPECT_FALSE(set.Modified());
        } else {
            EXPECT_EQ(error, "no error");
            EXPECT_EQ(field.DisplayText(), c.shown);
            EXPECT_EQ(field.IsNull(), c.shown.empty());
            EXPECT_EQ(changes, 1);
            EXPECT_TRUE(set.Modified());
        }
        set.PostRecord();
        set.EmptySet();
    }
}

TEST_F(RecordSetTest, WholeNumberEntryAcceptsOnlyDigitsAndSigns)
{
    for (char32_t c : {U'0', U'5', U'9', U'+', U'-'}) {
        EXPECT_TRUE(Zic.AcceptsEntryChar(c));
        EXPECT_TRUE(Count.AcceptsEntryChar(c));
    }
    for (char32_t c : {U'a', U' ', U'.', U',', U'e', U'Ж'}) {
        EXPECT_FALSE(Zic.AcceptsEntryChar(c));
        EXPECT_FALSE(Count.AcceptsEntryChar(c));
        EXPECT_TRUE(Name.AcceptsEntryChar(c));
    }
}

TEST(RecordSetFloatText, GeneralFormatWithTheDecimalSeparator)
{
    struct Case {
        double value;
        std::string point;
        std::string comma;
    };
    const Case cases[] = {
        {0, "0", "0"},
        {0.3, "0.3", "0,3"},
        {-1.5, "-1.5", "-1,5"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {123456789012345, "123456789012345", "123456789012345"},
        {1e15, "1E15", "1E15"},
        {1e20, "1E20", "1E20"},
        {-2.5e20, "-2.5E20", "-2,5E20"},
        {0.00001, "0.00001", "0,00001"},
        {0.000001, "1E-6", "1E-6"},
        {1.25e-7, "1.25E-7", "1,25E-7"},
        {65535, "65535", "65535"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point);
        SetDecimalSeparator('.');
        EXPECT_EQ(FormatFloat(c.value), c.point);
        SetDecimalSeparator(',');
        EXPECT_EQ(FormatFloat(c.value), c.comma);
    }
    SetDecimalSeparator('.');
}

TEST_F(RecordSetTest, FloatEntryAcceptsTheSeparatorAndThePoint)
{
    SetDecimalSeparator(',');
    const std::pair<std::string, double> cases[] = {
        {"1,5", 1.5}, {"1.5", 1.5}, {"-0,25", -0.25}, {"+3", 3}, {",5", 0.5}, {"2,5E3", 2500}, {" 7 ", 7},
    };
    set.StartEdit();
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        Ratio.SetText(text);
        EXPECT_DOUBLE_EQ(Ratio.AsFloat(), value);
    }
    Ratio.SetText("0.3");
    EXPECT_EQ(Ratio.DisplayText(), "0,3");
    for (const std::string text : {"1,5.5", "1,,5", "1e", "e5"})
        EXPECT_EQ(ErrorOf([&] { Ratio.SetText(text); }),
                  "'" + text + "' is not a valid floating point value for field 'Ratio'");
    EXPECT_EQ(Ratio.DisplayText(), "0,3");
}

TEST_F(RecordSetTest, LocateFindsTheFirstRecordWhoseFieldsAllMatch)
{
    set.StartEdit();
    Zic.SetInteger(1);
    Name.SetString("a");
    set.PostRecord();
    for (int i = 2; i <= 4; ++i) {
        set.AppendBlank();
        Zic.SetInteger(i);
        Name.SetString(i % 2 ? "odd" : "even");
        Ratio.SetFloat(i);
        set.PostRecord();
    }
    struct Case {
        std::string names;
        std::vector<TVariant> values;
        int row;   // -1: not found
    };
    const Case cases[] = {
        {"Zic", {int64_t{3}}, 2},
        {"Zic", {3.0}, 2},
        {"Ratio", {int64_t{4}}, 3},
        {"Name", {std::string("even")}, 1},
        {"Name", {std::string("EVEN")}, -1},
        {"Name;Zic", {std::string("even"), int64_t{4}}, 3},
        {"Name; Zic", {std::string("odd"), int64_t{4}}, -1},
        {"Ratio", {TVariant{}}, -1},
        {"Ratio", {int64_t{0}}, -1},
        {"Zic", {int64_t{9}}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        set.MoveTo(0);
        EXPECT_EQ(set.LocateByValues(c.names, c.values), c.row >= 0);
        EXPECT_EQ(set.RecNo(), c.row >= 0 ? c.row : 0);
    }
}

TEST_F(RecordSetTest, LocateNotFoundKeepsTheCurrentRecord)
{
    AddRecord(1);
    AddRecord(2);
    AddRecord(3);
    set.MoveTo(1);
    log.clear();
    EXPECT_FALSE(set.LocateByValues("Zic", int64_t{7}));
    EXPECT_EQ(set.RecNo(), 1);
    EXPECT_EQ(Zic.AsInteger(), 2);
}

TEST_F(RecordSetTest, LocateOnEmptySetFindsNothing)
{
    EXPECT_FALSE(set.LocateByValues("Zic", int64_t{0}));
    EXPECT_FALSE(set.HasCurrent());
    EXPECT_EQ(set.RecordCount(), 0);
}

TEST_F(RecordSetTest, LocateWhileEditingStoresThePendingRecordFirst)
{
    AddRecord(1);
    AddRecord(2);
    set.MoveTo(0);
    set.StartEdit();
    Zic.SetInteger(10);

    EXPECT_TRUE(set.LocateByValues("Zic", int64_t{10}));
    EXPECT_EQ(set.State(), TDataSetState::Browse);
    EXPECT_EQ(set.RecNo(), 0);
    EXPECT_EQ(set.RecordCount(), 2);
}

TEST_F(RecordSetTest, LocateWithUnknownFieldFailsAndKeepsTheEdit)
{
    AddRecord(1);
    set.StartEdit();
    Zic.SetInteger(5);
    EXPECT_EQ(ErrorOf([&] { set.LocateByValues("Nope", int64_t{1}); }), "cdsTest: Field 'Nope' not found");
    EXPECT_EQ(set.State(), TDataSetState::Edit);
    EXPECT_TRUE(set.Modified());
}

TEST_F(RecordSetTest, FieldNamedFailsForUnknownNames)
{
    EXPECT_EQ(&set.FieldNamed("Ratio"), &Ratio);
    EXPECT_EQ(ErrorOf([&] { set.FieldNamed("DevConf"); }), "cdsTest: Field 'DevConf' not found");
    EXPECT_EQ(set.FindField("DevConf"), nullptr);
}

class RecordSetIndexedTest : public ::testing::Test {
protected:
    RecordSetIndexedTest()
        : rubr("cdsRubr"),
          Type(rubr.AddField("Type", TFieldType::Integer)),
          Kod(rubr.AddField("Kod", TFieldType::Integer)),
          Name(rubr.AddField("Name", TFieldType::String, 40)),
          Attr(rubr.AddField("Attr", TFieldType::Integer))
    {
        rubr.SetIndexFieldNames("Type;Attr;Kod");
        const int rows[][3] = {{20, 3, 0}, {10, 2, 0}, {20, 1, 0}, {20, 2, 1}, {10, 1, 0}, {20, 9, 0}, {30, 1, 0}};
        for (const auto& [type, kod, attr] : rows) {
            rubr.InsertBlank();
            Type.SetInteger(type);
            Kod.SetInteger(kod);
            Attr.SetInteger(attr);
            Name.SetString(std::to_string(type) + ":" + std::to_string(kod));
            rubr.PostRecord();
        }
    }

    std::vector<std::string> ShownNames() const
    {
        std::vector<std::string> names;
        for (int row = 0; row < rubr.RecordCount(); ++row)
            names.push_back(Name.DisplayTextAt(row));
        return names;
    }

    TRecordSet rubr;
    TField& Type;
    TField& Kod;
    TField& Name;
    TField& Attr;
};

TEST_F(RecordSetIndexedTest, PostedRecordsLandAtTheirIndexPositionAndStayCurrent)
{
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"10:1", "10:2", "20:1", "20:3", "20:9", "20:2", "30:1"}));
    rubr.MoveTo(0);
    rubr.AppendBlank();
    Type.SetInteger(20);
    Kod.SetInteger(5);
    Attr.SetInteger(0);
    Name.SetString("20:5");
    rubr.PostRecord();
    EXPECT_EQ(rubr.RecNo(), 4);
    EXPECT_EQ(Name.AsString(), "20:5");

    rubr.StartEdit();
    Attr.SetInteger(5);
    rubr.PostRecord();
    EXPECT_EQ(Name.AsString(), "20:5");
    EXPECT_EQ(rubr.RecNo(), 6);
}

TEST_F(RecordSetIndexedTest, KeyRangeShowsTheMatchingRecordsInKeyOrder)
{
    int changes = 0;
    for (TField* field : {&Type, &Kod, &Name, &Attr})
        field->OnChange = [&](TField&) { ++changes; };

    rubr.SetKeyRange({int64_t{20}, int64_t{0}}, {int64_t{20}, int64_t{0}});

    EXPECT_TRUE(rubr.HasKeyRange());
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"20:1", "20:3", "20:9"}));
    EXPECT_EQ(rubr.RecNo(), 0);
    EXPECT_EQ(Name.AsString(), "20:1");
    EXPECT_TRUE(rubr.LocateByValues("Type;Kod", {int64_t{20}, int64_t{9}}));
    EXPECT_FALSE(rubr.LocateByValues("Type;Kod", {int64_t{10}, int64_t{1}}));
    EXPECT_EQ(Name.AsString(), "20:9");

    rubr.ClearKeyRange();

    EXPECT_FALSE(rubr.HasKeyRange());
    EXPECT_EQ(rubr.RecordCount(), 7);
    EXPECT_EQ(Name.AsString(), "20:9");
    EXPECT_EQ(rubr.RecNo(), 4);
    EXPECT_EQ(changes, 0);
}

TEST_F(RecordSetIndexedTest, KeyRangeWithoutMatchesShowsNoRecord)
{
    rubr.SetKeyRange({int64_t{40}}, {int64_t{50}});
    EXPECT_EQ(rubr.RecordCount(), 0);
    EXPECT_FALSE(rubr.HasCurrent());
    EXPECT_EQ(Name.DisplayText(), "");
}

TEST_F(RecordSetIndexedTest, KeyRangeOnAPartialKeyIsContiguousInKeyOrder)
{
    rubr.SetKeyRange({int64_t{10}, int64_t{0}}, {int64_t{20}, int64_t{0}});
    EXPECT_EQ(ShownNames(), (std::vector<std::string>{"10:1", "10:2", "20:1", "20:3", "20:9"}));
}

TEST(RecordSetIndex, KeyRangeNeedsAnIndex)
{
    TRecordSet cdsNStruct("cdsNStruct");
    cdsNStruct.AddField("N", TFieldType::Word);
    EXPECT_EQ(ErrorOf([&] { cdsNStruct.SetKeyRange({int64_t{0}}, {int64_t{1}}); }),
              "cdsNStruct: No index currently active");
    EXPECT_FALSE(cdsNStruct.HasKeyRange());
}

TEST_F(RecordSetTest, InsertBlankPlacesBeforeTheCurrentRecordWithoutIndex)
{
    AddRecord(1);
    AddRecord(2);
    set.MoveTo(1);
    set.InsertBlank();
    EXPECT_EQ(set.RecNo(), 1);
    Zic.SetInteger(9);
    set.PostRecord();
    EXPECT_EQ(set.RecNo(), 1);
    std::vector<std::string> shown;
    for (int row = 0; row < set.RecordCount(); ++row)
        shown.push_back(Zic.DisplayTextAt(row));
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "9", "2"}));
}

TEST_F(RecordSetTest, MoveToPostsTheEditAndRefusesRowsNotShown)
{
    AddRecord(1);
    AddRecord(2);
    set.MoveTo(0);
    set.StartEdit();
    Zic.SetInteger(5);
    set.MoveTo(1);
    EXPECT_EQ(set.State(), TDataSetState::Browse);
    EXPECT_EQ(Zic.AsInteger(), 2);
    EXPECT_EQ(Zic.DisplayTextAt(0), "5");

    for (int row : {-1, 2}) {
        std::string error = "cdsTest: Row " + std::to_string(row) + " out of range";
        EXPECT_EQ(ErrorOf([&] { set.MoveTo(row); }), error);
        EXPECT_EQ(ErrorOf([&] { Zic.DisplayTextAt(row); }), error);
        EXPECT_EQ(set.RecNo(), 1);
    }
}

TEST_F(RecordSetTest, DiscardRestoresTheEditOrDropsTheInsert)
{
    AddRecord(1, "one");
    AddRecord(2, "two");
    set.MoveTo(0);
    set.StartEdit();
    Zic.SetInteger(100);
    Name.Clear();
    set.DiscardRecord();
    EXPECT_EQ(Zic.AsInteger(), 1);
    EXPECT_EQ(Name.AsString(), "one");
    EXPECT_EQ(set.State(), TDataSetState::Browse);

    set.MoveTo(1);
    set.InsertBlank();
    Zic.SetInteger(50);
    set.DiscardRecord();
    EXPECT_EQ(set.RecordCount(), 2);
    EXPECT_EQ(Zic.AsInteger(), 2);
}

TEST_F(RecordSetTest, FinishPendingPostsOnlyModifiedRecords)
{
    AddRecord(1);
    set.AppendBlank();
    set.FinishPending();
    EXPECT_EQ(set.RecordCount(), 1);
    set.AppendBlank();
    Zic.SetInteger(2);
    set.FinishPending();
    EXPECT_EQ(set.RecordCount(), 2);
    EXPECT_EQ(set.State(), TDataSetState::Browse);
}

TEST_F(RecordSetTest, PendingControlEditsAreWrittenBeforePosting)
{
    AddRecord(1);
    struct Case {
        const char* name;
        std::function<void()> finish;
    };
    const Case cases[] = {
        {"PostRecord", [&] { set.PostRecord(); }},
        {"FinishPending", [&] { set.FinishPending(); }},
        {"MoveTo", [&] { set.MoveTo(0); }},
        {"AppendBlank", [&] { set.AppendBlank(); set.DiscardRecord(); }},
        {"Locate", [&] { set.LocateByValues("Zic", int64_t{1}); }},
    };
    int value = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++value;
        ASSERT_TRUE(source.RequestEdit());
        link.pendingEdit = [&, value] { Zic.SetText(std::to_string(value)); };
        c.finish();
        EXPECT_EQ(set.State(), TDataSetState::Browse);
        EXPECT_EQ(set.RecordCount(), 1);
        EXPECT_EQ(Zic.DisplayTextAt(0), std::to_string(value));
    }
}

TEST_F(RecordSetTest, RefusedPendingEditStopsThePost)
{
    AddRecord(1);
    set.StartEdit();
    link.pendingEdit = [&] { Zic.SetText("x"); };
    EXPECT_EQ(ErrorOf([&] { set.PostRecord(); }), "'x' is not a valid integer value for field 'Zic'");
    EXPECT_EQ(set.State(), TDataSetState::Edit);
}

TEST_F(RecordSetTest, RecordOperationsRunNoHandlers)
{
    int changes = 0;
    for (int i = 0; i < set.FieldCount(); ++i)
        CountChanges(set.FieldAt(i), changes);
    set.StartEdit();
    Zic.SetInteger(1);
    set.PostRecord();
    changes = 0;

    set.StartEdit();
    set.DiscardRecord();
    set.AppendBlank();
    set.PostRecord();
    set.InsertBlank();
    set.FinishPending();
    set.LocateByValues("Zic", int64_t{1});
    set.MoveTo(1);
    set.SetIndexFieldNames("Zic");
    set.SetKeyRange({int64_t{0}}, {int64_t{5}});
    set.ClearKeyRange();
    set.EmptySet();

    EXPECT_EQ(changes, 0);
}

TEST_F(RecordSetTest, ControlsAreToldOfEachStateAndRecordChange)
{
    struct Case {
        const char* name;
        std::function<void()> action;
        std::vector<std::string> events;
    };
    AddRecord(1);
    AddRecord(2);
    const Case cases[] = {
        {"StartEdit", [&] { set.StartEdit(); }, {"StateChange", "RecordChange"}},
        {"Post", [&] { set.PostRecord(); }, {"StateChange", "SetChange"}},
        {"Append", [&] { set.AppendBlank(); }, {"StateChange", "SetChange"}},
        {"Discard", [&] { set.DiscardRecord(); }, {"StateChange", "SetChange"}},
        {"Insert", [&] { set.InsertBlank(); }, {"StateChange", "SetChange"}},
        {"Insert again", [&] { set.InsertBlank(); }, {"StateChange", "SetChange", "StateChange", "SetChange"}},
        {"Locate", [&] { set.LocateByValues("Zic", int64_t{2}); }, {"StateChange", "SetChange", "SetChange"}},
        {"MoveTo", [&] { set.MoveTo(0); }, {"SetChange"}},
        {"Empty", [&] { set.EmptySet(); }, {"SetChange"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        c.action();
        EXPECT_EQ(log, c.events);
    }
}

TEST_F(RecordSetTest, HandlerErrorLeavesTheValueStored)
{
    Zic.OnChange = [](TField&) { throw ERecordSetError("handler failed"); };
    set.StartEdit();
    log.clear();
    EXPECT_EQ(ErrorOf([&] { Zic.SetInteger(8); }), "handler failed");
    EXPECT_EQ(Zic.AsInteger(), 8);
    EXPECT_TRUE(set.Modified());
    EXPECT_EQ(log, (std::vector<std::string>{"FieldChange Zic"}));
}

TEST_F(RecordSetTest, RequestEditStartsTheEditOnlyWithAutoEdit)
{
    AddRecord(1);
    source.AutoEdit = false;
    EXPECT_FALSE(source.RequestEdit());
    EXPECT_EQ(set.State(), TDataSetState::Browse);
    source.AutoEdit = true;
    EXPECT_TRUE(source.RequestEdit());
    EXPECT_EQ(set.State(), TDataSetState::Edit);
    TDataSource unbound;
    EXPECT_FALSE(unbound.RequestEdit());
}

TEST_F(RecordSetTest, LinksMayComeAndGoDuringANotification)
{
    std::vector<std::string> otherLog;
    std::vector<std::string> lateLog;
    RecordingLink other(otherLog);
    RecordingLink late(lateLog);
    source.AddLink(&other);
    link.onEvent = [&] {
        source.RemoveLink(&other);
        source.AddLink(&late);
    };
    set.StartEdit();
    EXPECT_TRUE(otherLog.empty());
    EXPECT_EQ(lateLog, (std::vector<std::string>{"SetChange"}));
    EXPECT_EQ(log, (std::vector<std::string>{"StateChange", "SetChange"}));
}

TEST(RecordSetSources, SourcesAndSetsMayDieInEitherOrder)
{
    auto set = std::make_unique<TRecordSet>("cdsA");
    TField& zic = set->AddField("Zic", TFieldType::Word);
    std::vector<std::string> log;
    RecordingLink link(log);
    {
        TDataSource shortLived(set.get());
        shortLived.AddLink(&link);
    }
    auto dying = std::make_unique<TDataSource>(set.get());
    TDataSource survivor(set.get());
    survivor.AddLink(&link);
    RecordingLink killer(log);
    killer.onEvent = [&] { dying.reset(); };
    dying->AddLink(&killer);
    dying->AddLink(&link);

    set->StartEdit();
    zic.SetInteger(1);
    EXPECT_EQ(dying, nullptr);
    set->PostRecord();
    set.reset();
    EXPECT_EQ(survivor.DataSet(), nullptr);
    EXPECT_FALSE(survivor.RequestEdit());
}

TEST(RecordSetSources, SwitchingTheDataSetMovesTheNotifications)
{
    TRecordSet first("cdsFirst");
    TRecordSet second("cdsSecond");
    std::vector<std::string> log;
    RecordingLink link(log);
    TDataSource source(&first);
    source.AddLink(&link);
    source.SetDataSet(&second);
    first.StartEdit();
    EXPECT_TRUE(log.empty());
    second.StartEdit();
    EXPECT_FALSE(log.empty());
}

} // namespace
} // namespace qzr
