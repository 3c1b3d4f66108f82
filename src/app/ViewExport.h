#pragma once
// The views' export commands with their two file types: the text export of the view, or the
// picture of its pane as a PNG file. The pictures are drawn by the Qt skin (ViewPictures), with
// the same drawing as the pane and as tonewell-cli's render. UI thread.

#include <filesystem>
#include <functional>
#include <string>

namespace tonewell {

class Shell;

// The file types the export's save dialog offers, in this order.
inline constexpr const char* kViewExportFilter = "Text File (*.txt)|*.txt|PNG Picture (*.png)|*.png|";
enum class ViewExportType { Text = 0, Picture = 1 };

// A view's pane as a picture file: drawn as the pane shows it now, at the pane's size, written
// safely (a failure leaves any previous file as it was). False when nothing was written.
class ViewPictures {
public:
    virtual ~ViewPictures() = default;
    virtual bool writeScopePicture(const std::filesystem::path& path) = 0;
    virtual bool writeSpectrumPicture(const std::filesystem::path& path) = 0;
};

// The chosen path with ".png" appended when it holds no "." anywhere (folder names included),
// the rule of the text type.
std::string WithPictureExtension(std::string path);

using ExportWriter = std::function<bool(const std::filesystem::path& path)>;

// The export command: the save dialog (text type only when there is no picture writer), then
// the text rule and writeText (which reports its own failure), or the picture rule and
// writePicture, whose failure shows "fail to create the file". Cancel writes nothing.
void ExportView(Shell& shell, bool promptOverwrite, const ExportWriter& writeText, const ExportWriter& writePicture);

}  // namespace tonewell
