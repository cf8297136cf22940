// The effect's saved state: a small binary header around an XML document (TinyXML).
//   i32 magic 0x21324356 ("VC2!" in byte order), i32 n = text length + 1, n bytes of UTF-8 text + NUL.
// The same chunk serves a bank and a single program: there is only ever one program.

#include "effect/KVAudioPlugin.h"
#include "framework/core/NumberText.h"

#include <cmath>

#include <tinyxml.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace q9framework;

namespace {

const char* const rootName = "KELVANE";

const char* const valueAttributes[KVAudioPlugin::numParameters] = {
    "attack", "release", "bypass", "gain", "attackTime", "releaseTime", "drive"};

// Reads an integer attribute the way sscanf "%d" does; a missing or non-numeric one keeps `field`.
void readInt(const TiXmlElement& element, const char* name, int32_t& field)
{
    int value = 0;
    if (element.QueryIntAttribute(name, &value) == TIXML_SUCCESS)
        field = value;
}

// The bytes of `text` that form well-formed UTF-8, every other byte replaced by '?'. TinyXML takes a
// lead byte as the start of a character whatever follows it: a stray one at the end of a damaged or
// foreign state made it read past the text's NUL, and one inside a name swallowed the quote or entity
// after it on every save and reload.
std::string wellFormedUtf8(const char* text)
{
    std::string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    while (*s != 0) {
        const unsigned char c = *s;
        int length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        for (int i = 1; i < length; ++i) {
            const unsigned char next = s[i];
            // Second bytes that would make an overlong form, a surrogate or a code point past U+10FFFF.
            const unsigned char low = i == 1 && (c == 0xE0) ? 0xA0 : i == 1 && c == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = i == 1 && c == 0xED ? 0x9F : i == 1 && c == 0xF4 ? 0x8F : 0xBF;
            if (next < low || next > high) {
                length = 0;
                break;
            }
        }
        if (length == 0) {
            out += '?';
            ++s;
        } else {
            out.append(reinterpret_cast<const char*>(s), static_cast<size_t>(length));
            s += length;
        }
    }
    return out;
}

// The chunk's text, or an empty text when the header is not ours or its length cannot be right: a
// negative length, or one that runs past the end of the stream, is treated like a wrong magic.
std::vector<char> readChunkText(Stream& in)
{
    const int32_t magic = in.readInt();
    const int32_t length = in.readInt();
    std::vector<char> text(1, '\0');
    if (magic != KVAudioPlugin::stateMagic || length < 0 || length > in.getLength() - in.getPosition())
        return text;
    text.assign(static_cast<size_t>(length) + 1, '\0');
    in.read(text.data(), length);
    return text;
}

} // namespace

bool KVAudioPlugin::getState(Stream& out)
{
    TiXmlDocument document;
    auto* root = new TiXmlElement(rootName);
    root->SetAttribute("uiWidth", String(uiWidth).toUTF8());
    root->SetAttribute("uiHeight", String(uiHeight).toUTF8());
    root->SetAttribute("uiWidthNew", String(uiWidthNew).toUTF8());
    root->SetAttribute("uiHeightNew", String(uiHeightNew).toUTF8());
    root->SetAttribute("currentProgram", "0");
    document.LinkEndChild(root);

    auto* program = new TiXmlElement("Program");
    program->SetAttribute("name", programs[0].name.toUTF8());
    for (int32_t i = 0; i < numParameters; ++i)
        program->SetAttribute(valueAttributes[i],
                              String(static_cast<double>(programs[0].values[i]), 6).toUTF8());
    root->LinkEndChild(program);

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\n");
    document.Accept(&printer);

    const auto length = static_cast<int32_t>(printer.Size());
    out.writeInt(stateMagic);
    out.writeInt(length + 1);
    out.write(printer.CStr(), static_cast<int64_t>(length) + 1);
    return true;
}

bool KVAudioPlugin::setState(Stream& in)
{
    const std::string text = wellFormedUtf8(readChunkText(in).data());

    TiXmlDocument document;
    // A parse error is not a reason to refuse: whatever parsed before it is used.
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);

    const TiXmlElement* root = document.FirstChildElement();
    if (root != nullptr && std::strcmp(root->Value(), rootName) == 0) {
        readInt(*root, "uiWidth", uiWidth);
        readInt(*root, "uiHeight", uiHeight);
        // States saved before the editor became resizable carry no size: they open at the default.
        uiWidthNew = 750;
        uiHeightNew = 175;
        readInt(*root, "uiWidthNew", uiWidthNew);
        readInt(*root, "uiHeightNew", uiHeightNew);
        // "currentProgram" is not kept: only program 0 exists, whatever a state says.

        if (const TiXmlElement* program = root->FirstChildElement()) {
            const char* name = program->Attribute("name");
            programs[0].name = name != nullptr ? name : "";
            for (int32_t i = 0; i < numParameters; ++i) {
                double value = 0.0;
                // As setParameter: a value that is no finite f32 ("nan", "1e999") leaves the old one.
                if (NumberText::parse(program->Attribute(valueAttributes[i]), value)
                    && std::isfinite(static_cast<float>(value)))
                    programs[0].values[i] = static_cast<float>(value);
            }
        }
    }

    applyParameters();
    return true;
}
