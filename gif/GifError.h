#pragma once
// Error type of the GIF codec.
//
// The coder functions in GifLzw.h throw EGifError; the public operations of TGifPicture
// (GifPicture.h) catch it and hand it back as a TGifResult, so a caller of the picture never
// sees an exception from bad data. The message is the text shown to the user.

#include <stdexcept>
#include <string>

class EGifError : public std::runtime_error {
 public:
  explicit EGifError(const std::string& message) : std::runtime_error(message) {}
};

// Messages shared by the reader, the writer and the coder.
namespace GifMsg {
inline constexpr const char* InvalidSignature = "Invalid GIF signature";
inline constexpr const char* UnknownExtension = "Unknown extension type";
inline constexpr const char* BitBufferUnderRun = "Decoder bit buffer under-run";
inline constexpr const char* CircularEntry = "Circular decoder table entry";
inline constexpr const char* PrematureEnd = "Premature end of data";
inline constexpr const char* ColorNotInTable = "Color not in color table";
inline constexpr const char* UnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* UnknownBlock = "Unknown GIF block type";
inline constexpr const char* InvalidIntroducer = "Invalid extension introducer";
inline constexpr const char* ExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* InvalidColorIndex = "Invalid color index";
// Our own refusals of data no GIF writer produces.
inline constexpr const char* InvalidCodeSize = "Invalid LZW code size";
inline constexpr const char* ImageTooLarge = "GIF image too large";
inline constexpr const char* FrameSizeMismatch = "Frame data does not match its size";
}  // namespace GifMsg
