// Text entry into record fields of every type, as bound controls make it: on the Global and
// axis records (after a read of arbitrary structure bytes, so their handlers run on any state)
// and on a set holding one field of each type. An entry either succeeds with a value of the
// field's type and range, a string no longer than its Size however its characters are
// counted, or fails with one of the documented errors about that field and changes nothing.
//
// Input: a byte choosing the set, a byte choosing the field, 16 structure bytes, the text.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzRecords.h"
#include "records/Utf8Characters.h"

namespace {

using namespace qzr;

using fuzz::Check;

// The records after a read of the given structure bytes, and a set holding one field of each
// type.
struct Rig : fuzz::TRecordsRig {
    TRecordSet plain{"cdsPlain"};

    Rig(const uint8_t* structure, int stringSize)
        : TRecordsRig(17, std::vector<uint8_t>(1, 0))
    {
        device.answer.insert(device.answer.end(), structure, structure + 16);
        plain.AddField("Word", TFieldType::Word);
        plain.AddField("Integer", TFieldType::Integer);
        plain.AddField("Boolean", TFieldType::Boolean);
        plain.AddField("String", TFieldType::String, stringSize);
        plain.AddField("Float", TFieldType::Float);
    }
};

struct FieldState {
    bool null;
    std::string text;
    bool operator==(const FieldState&) const = default;
};

std::vector<FieldState> Snapshot(const TRecordSet& set)
{
    std::vector<FieldState> fields;
    for (int i = 0; i < set.FieldCount(); ++i)
        fields.push_back({set.FieldAt(i).IsNull(), set.FieldAt(i).DisplayText()});
    return fields;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// what() ends at the first NUL byte of the message, so the expected text is cut there too.
bool SameMessage(const std::string& error, const std::string& expected)
{
    return error == expected.c_str();
}

// "<lowest> to <highest>", both whole numbers.
bool IsRangeText(const std::string& text)
{
    const size_t to = text.find(" to ");
    auto wholeNumber = [](const std::string& part) {
        const size_t digits = !part.empty() && part[0] == '-' ? 1 : 0;
        return part.size() > digits &&
               part.find_first_not_of("0123456789", digits) == std::string::npos;
    };
    return to != std::string::npos && wholeNumber(text.substr(0, to)) &&
           wholeNumber(text.substr(to + 4));
}

bool IsDocumentedError(const TField& field, const std::string& text, const std::string& error)
{
    const std::string about = " for field " + Quoted(field.Label());
    switch (field.DataType()) {
    case TFieldType::Boolean:
        return SameMessage(error, Quoted(text) + " is not a valid boolean value" + about);
    case TFieldType::Float:
        return SameMessage(error, Quoted(text) + " is not a valid floating point value" + about);
    case TFieldType::Word:
    case TFieldType::Integer:
        if (SameMessage(error, Quoted(text) + " is not a valid integer value" + about))
            return true;
        {
            // The range error of the entered field itself, not of a value a handler derived.
            const std::string range = " is not a valid value" + about + ". The allowed range is ";
            const size_t at = error.find(range);
            return at != std::string::npos && IsRangeText(error.substr(at + range.size()));
        }
    case TFieldType::String:
        return false;
    }
    return false;
}

size_t LeadBytes(const std::string& text)
{
    size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

void CheckStored(const TField& field, const std::string& text)
{
    if (field.IsNull())
        return;
    switch (field.DataType()) {
    case TFieldType::Word:
        Check(field.AsInteger() >= 0 && field.AsInteger() <= 65535);
        break;
    case TFieldType::Integer:
        Check(field.AsInteger() >= INT32_MIN && field.AsInteger() <= INT32_MAX);
        break;
    case TFieldType::String: {
        const std::string stored = field.AsString();
        const auto size = static_cast<size_t>(field.Size());
        Check(text.compare(0, stored.size(), stored) == 0);
        Check(CountCharacters(stored) <= size && LeadBytes(stored) <= size);
        Check(stored.size() == text.size() || CountCharacters(stored) == size);
        break;
    }
    case TFieldType::Boolean:
    case TFieldType::Float:
        break;
    }
}

void Enter(TRecordSet& set, int fieldIndex, const std::string& text)
{
    set.StartEdit();
    TField& field = set.FieldAt(fieldIndex % set.FieldCount());
    const std::vector<FieldState> before = Snapshot(set);
    try {
        field.SetText(text);
    } catch (const ERecordSetError& error) {
        Check(IsDocumentedError(field, text, error.what()));
        Check(Snapshot(set) == before);
        return;
    }
    CheckStored(field, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 18)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 18, size - 18);
    Rig rig(data + 2, 1 + data[1] % 40);
    switch (data[0] % 3) {
    case 0:
        rig.global.ReadGlobal();
        Enter(rig.global.cdsGlobal, data[1], text);
        break;
    case 1:
        rig.axes.ReadAxis(stAxisLeftBrake);
        Enter(rig.axes.cdsNStruct, data[1], text);
        break;
    default:
        Enter(rig.plain, data[1], text);
        break;
    }
    return 0;
}
