// XML property lists through libplist: its nodes are converted to our values after parsing and built
// from them before writing, so nothing outside this file sees libplist. libplist 2.2 reports no parse
// errors, so the error text says only what kind of input was refused.

#include "auwrapper/platform/CFValues.h"
#include "framework/core/NumberText.h"

#include "auwrapper/platform/CFValuesInternal.h"

#include <plist/plist.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace q9framework {
namespace cf {

namespace {

// Deeper than any preset or Info.plist, shallow enough that the recursive conversion cannot exhaust
// the stack on hostile input.
constexpr int maximumDepth = 256;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

std::string stringValue(plist_t node)
{
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string result = text != nullptr ? text : "";
    std::free(text);
    return result;
}

// Converts one node; null when it or anything inside it has no counterpart here.
CFTypeRef fromNode(plist_t node, bool mutableContainers, int depth)
{
    if (node == nullptr || depth > maximumDepth)
        return nullptr;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value ? kCFBooleanTrue : kCFBooleanFalse;
    }
    case PLIST_UINT: {
        // libplist keeps every integer as 64 bits; negative numbers come back sign-extended.
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        const auto signedValue = static_cast<int64_t>(value);
        return CFNumberCreate(nullptr, kCFNumberSInt64Type, &signedValue);
    }
    case PLIST_REAL: {
        double value = 0.0;
        plist_get_real_val(node, &value);
        return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
    }
    case PLIST_STRING: return createString(stringValue(node));
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes), static_cast<CFIndex>(length));
        std::free(bytes);
        return data;
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return CFDateCreate(nullptr, seconds + microseconds / 1e6);
    }
    case PLIST_ARRAY: {
        CFRef<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            CFRef<CFTypeRef> item(fromNode(plist_array_get_item(node, i), mutableContainers, depth + 1));
            if (!item)
                return nullptr;
            CFArrayAppendValue(array.get(), item.get());
        }
        const_cast<CFArray*>(static_cast<const CFArray*>(asObject(array.get())))->isMutable = mutableContainers;
        return array.release();
    }
    case PLIST_DICT: {
        CFRef<CFMutableDictionaryRef> dictionary(
            CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        bool ok = true;
        while (ok) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &key, &value);
            if (key == nullptr)
                break;
            CFRef<CFStringRef> name(createString(key));
            std::free(key);
            CFRef<CFTypeRef> item(fromNode(value, mutableContainers, depth + 1));
            ok = name && item;
            if (ok)
                CFDictionarySetValue(dictionary.get(), name.get(), item.get());
        }
        std::free(iterator);
        if (!ok)
            return nullptr;
        const_cast<CFDictionary*>(static_cast<const CFDictionary*>(asObject(dictionary.get())))->isMutable = mutableContainers;
        return dictionary.release();
    }
    default: return nullptr;   // keys outside dictionaries, UIDs (binary lists only), unknown kinds
    }
}

// Builds the libplist node for one value; null when it cannot be part of a property list.
plist_t toNode(CFTypeRef ref, int depth)
{
    const Object* object = asObject(ref);
    if (object == nullptr || depth > maximumDepth)
        return nullptr;
    switch (object->kind) {
    case Kind::string: return plist_new_string(static_cast<const CFString*>(object)->utf8.c_str());
    case Kind::boolean: return plist_new_bool(static_cast<const CFBoolean*>(object)->value ? 1 : 0);
    case Kind::number: {
        const auto* number = static_cast<const CFNumber*>(object);
        if (number->isFloat)
            return plist_new_real(number->real);
        // Sign-extended, so a negative number is written as a negative decimal.
        return plist_new_uint(static_cast<uint64_t>(number->integer));
    }
    case Kind::data: {
        const auto& bytes = static_cast<const CFData*>(object)->bytes;
        return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case Kind::date: {
        // libplist keeps 32-bit seconds around 2001: about 1933 to 2069, enough for any preset.
        const double at = std::clamp(static_cast<const CFDate*>(object)->at, double(INT32_MIN), double(INT32_MAX));
        if (std::isnan(at))
            return nullptr;
        const double seconds = std::floor(at);
        return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>((at - seconds) * 1e6));
    }
    case Kind::array: {
        const auto* array = static_cast<const CFArray*>(object);
        if (!array->retains)
            return nullptr;
        PlistPointer node(plist_new_array());
        for (const void* value : array->values) {
            plist_t item = toNode(value, depth + 1);
            if (item == nullptr)
                return nullptr;
            plist_array_append_item(node.get(), item);
        }
        return node.release();
    }
    case Kind::dictionary: {
        const auto* dictionary = static_cast<const CFDictionary*>(object);
        if (!dictionary->retainsKeys || !dictionary->retainsValues)
            return nullptr;
        // The Mac's writer sorts keys; doing the same makes our files read like the ones hosts write.
        std::vector<std::pair<std::string, const void*>> sorted;
        for (const auto& entry : dictionary->entries) {
            const auto* key = as<CFString>(entry.first, Kind::string);
            if (key == nullptr)
                return nullptr;
            sorted.emplace_back(key->utf8, entry.second);
        }
        std::sort(sorted.begin(), sorted.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        PlistPointer node(plist_new_dict());
        for (const auto& entry : sorted) {
            plist_t item = toNode(entry.second, depth + 1);
            if (item == nullptr)
                return nullptr;
            plist_dict_set_item(node.get(), entry.first.c_str(), item);
        }
        return node.release();
    }
    case Kind::url: return nullptr;
    }
    return nullptr;
}

bool isNumberText(const std::string& raw, bool integer)
{
    const auto first = raw.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return false;
    const std::string text = raw.substr(first, raw.find_last_not_of(" \t\r\n") - first + 1);
    if (integer) {
        size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
        int base = 10;
        if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
            base = 16;
            i += 2;
        }
        if (i >= text.size())
            return false;
        for (; i < text.size(); ++i)
            if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(text[i])) : std::isdigit(static_cast<unsigned char>(text[i]))))
                return false;
        return true;
    }
    char* end = nullptr;
    const q9framework::NumberText::ScopedCLocale cLocale;
    std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

// libplist 2.2 is lenient where the Mac's reader is strict, and trips over a NUL byte in a string: it drops a key that has no value and reads
// "<integer>twelve</integer>" as 0. It also parses and frees recursively, so a million nested arrays
// overflow its stack. One pass over the raw text refuses all of that before libplist sees it; what
// remains (unknown elements, bad base64, unbalanced tags) libplist refuses itself. Returns the reason,
// empty when the text may be handed on.
std::string structuralProblem(const char* bytes, size_t length)
{
    const std::string text(bytes, length);
    // XML has no NUL character; libplist would keep one inside a string and then assert on reading it.
    if (text.find('\0') != std::string::npos)
        return "a NUL byte in the text";
    struct Level {
        bool isDictionary;
        bool expectValue;
    };
    std::vector<Level> open;
    size_t i = 0;
    while ((i = text.find('<', i)) != std::string::npos) {
        const auto skipTo = [&](const char* terminator) {
            const size_t end = text.find(terminator, i);
            i = end == std::string::npos ? std::string::npos : end + std::strlen(terminator);
            return end != std::string::npos;
        };
        if (text.compare(i, 4, "<!--") == 0) {
            if (!skipTo("-->"))
                return "unterminated comment";
            continue;
        }
        if (text.compare(i, 9, "<![CDATA[") == 0) {
            if (!skipTo("]]>"))
                return "unterminated CDATA section";
            continue;
        }
        if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            if (!skipTo(">"))
                return "unterminated declaration";
            continue;
        }
        const bool closing = text.compare(i, 2, "</") == 0;
        const size_t nameStart = i + (closing ? 2 : 1);
        const size_t end = text.find('>', nameStart);
        if (end == std::string::npos)
            return "unterminated element";
        size_t nameEnd = nameStart;
        while (nameEnd < end && std::isalnum(static_cast<unsigned char>(text[nameEnd])))
            ++nameEnd;
        const std::string name = text.substr(nameStart, nameEnd - nameStart);
        const bool selfClosing = !closing && text[end - 1] == '/';
        i = end + 1;
        const bool container = name == "dict" || name == "array" || name == "plist";

        if (closing) {
            if (container && !open.empty()) {
                if (open.back().isDictionary && open.back().expectValue)
                    return "a key without value";
                open.pop_back();
            }
            continue;
        }
        if (!open.empty() && open.back().isDictionary) {
            Level& dictionary = open.back();
            if (name == "key") {
                if (dictionary.expectValue)
                    return "a key without value";
                dictionary.expectValue = true;
            } else {
                if (!dictionary.expectValue)
                    return "a value without key";
                dictionary.expectValue = false;
            }
        }
        if (name == "integer" || name == "real") {
            const size_t close = selfClosing ? std::string::npos : text.find("</", i);
            if (close == std::string::npos || !isNumberText(text.substr(i, close - i), name == "integer"))
                return "<" + name + "> holds no number";
        }
        if (container && !selfClosing) {
            open.push_back({name == "dict", false});
            if (open.size() > static_cast<size_t>(maximumDepth) + 1)
                return "nested too deeply";
        }
    }
    return {};
}

void setError(CFStringRef* errorString, const char* text)
{
    if (errorString != nullptr)
        *errorString = text != nullptr ? createString(text) : nullptr;
}

// Parses XML text; the error text is set only on failure.
CFPropertyListRef parse(const char* bytes, size_t length, CFOptionFlags mutability, std::string& error)
{
    if (length == 0) {
        error = "empty data";
        return nullptr;
    }
    if (length > UINT32_MAX) {
        error = "data too large";
        return nullptr;
    }
    // Only the XML form: a binary list is refused rather than guessed at.
    if (plist_is_binary(bytes, static_cast<uint32_t>(length))) {
        error = "binary property lists are not read";
        return nullptr;
    }
    error = structuralProblem(bytes, length);
    if (!error.empty())
        return nullptr;
    plist_t root = nullptr;
    {
        const q9framework::NumberText::ScopedCLocale cLocale;   // libplist reads reals with strtod
        plist_from_xml(bytes, static_cast<uint32_t>(length), &root);
    }
    if (root == nullptr) {
        error = "malformed XML property list";
        return nullptr;
    }
    PlistPointer owner(root);
    CFPropertyListRef result = fromNode(root, mutability != kCFPropertyListImmutable, 0);
    if (result == nullptr)
        error = "property list holds an unsupported or too deeply nested value";
    return result;
}

} // namespace

CFPropertyListRef CFPropertyListCreateFromXMLData(CFAllocatorRef, CFDataRef xmlData, CFOptionFlags mutabilityOption,
                                                  CFStringRef* errorString)
{
    setError(errorString, nullptr);
    const auto* data = as<CFData>(xmlData, Kind::data);
    if (data == nullptr) {
        setError(errorString, "no data");
        return nullptr;
    }
    std::string error;
    CFPropertyListRef result =
        parse(reinterpret_cast<const char*>(data->bytes.data()), data->bytes.size(), mutabilityOption, error);
    if (result == nullptr)
        setError(errorString, error.c_str());
    return result;
}

CFDataRef CFPropertyListCreateXMLData(CFAllocatorRef, CFPropertyListRef propertyList)
{
    PlistPointer root(toNode(propertyList, 0));
    if (!root)
        return nullptr;
    char* xml = nullptr;
    uint32_t length = 0;
    {
        const q9framework::NumberText::ScopedCLocale cLocale;   // and writes them with printf
        plist_to_xml(root.get(), &xml, &length);
    }
    if (xml == nullptr)
        return nullptr;
    CFDataRef data = CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(xml), static_cast<CFIndex>(length));
    plist_to_xml_free(xml);
    return data;
}

Boolean CFPropertyListIsValid(CFPropertyListRef propertyList)
{
    PlistPointer root(toNode(propertyList, 0));
    return root != nullptr;
}

CFPropertyListRef createPropertyListFromFile(const std::string& path, std::string* error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error != nullptr)
            *error = "cannot read " + path;
        return nullptr;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string reason;
    CFPropertyListRef result = parse(bytes.data(), bytes.size(), kCFPropertyListMutableContainers, reason);
    if (result == nullptr && error != nullptr)
        *error = path + ": " + reason;
    return result;
}

bool writePropertyListToFile(CFPropertyListRef propertyList, const std::string& path)
{
    CFRef<CFDataRef> xml(CFPropertyListCreateXMLData(nullptr, propertyList));
    if (!xml)
        return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char*>(CFDataGetBytePtr(xml.get())), CFDataGetLength(xml.get()));
    return static_cast<bool>(file.flush());
}

} // namespace cf
} // namespace q9framework
