#pragma once
#include <string>
#include <vector>

/** Makes the editor's artwork: the background and every film strip, as PNG files that the packing
    step turns into the resource pack's image entries.

    Strips are cut from the same drawing as the background: each frame is the plate under the
    control's rectangle with the control's moving part drawn over it, so an opaque frame lines up
    to the pixel with the panel around it. The background itself shows every control at its default
    value, so the panel looks whole even before the strips are painted over it. */
namespace kelvane::artwork {

struct ArtworkFile {
    std::string entryName;   // the name the editor asks the pack for
    std::string fileName;    // the PNG written into the output folder
};

/** The files `writeArtwork` makes, in pack order. */
std::vector<ArtworkFile> artworkFiles();

/** Writes every artwork file into the folder (which must exist), and, when previewPath is not
    empty, a picture of the panel as the editor shows it: the background with each control at a
    middle frame and both meter needles drawn at known levels. Throws std::runtime_error naming the
    file on a write failure or a missing font. */
void writeArtwork(const std::string& folder, const std::string& previewPath);

} // namespace kelvane::artwork
