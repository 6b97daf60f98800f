#pragma once

#include <optional>
#include <string>

#include "core/byte_vector.h"

class CStagedFiles;

// An offline layout: a folder that holds the initial exchange's answer as
// it came, so that the plan can run on machines without a network, and the
// plan's downloads by their save names:
//   answer            the answer's body, byte for byte
//   answer.nonce      in trusted mode: the nonce the answer was signed over
//   answer.signature  in trusted mode: the X-Ruvi-Signature value that came
//                     with it
//   files\SAVENAME    each download's file
// The two lines are each a single line with an optional line feed at its end.

inline constexpr char kLayoutAnswerFile[] = "answer";
inline constexpr char kLayoutNonceFile[] = "answer.nonce";
inline constexpr char kLayoutSignatureFile[] = "answer.signature";
inline constexpr char kLayoutFilesFolder[] = "files";

// The answer to the initial request as it came, and in trusted mode what
// its signature rests on.
struct RecordedAnswer {
    ByteVector body;
    std::string nonce;                     // "" outside trusted mode
    std::optional<std::string> signature;  // the signature header's value
};

// The answer of the layout in folder: its body (at most limit bytes), and
// the nonce and the signature when their files are there and hold one line.
// Throws CMessageError with "读取离线应答失败" when the answer cannot be
// read or is larger than limit.
RecordedAnswer ReadLayoutAnswer(const std::string& folder, std::size_t limit);

// Stages the answer's files in folder: answer, and for a signed answer
// answer.nonce and answer.signature. False when one cannot be written.
bool StageLayoutAnswer(CStagedFiles& staged, const std::string& folder,
                       const RecordedAnswer& answer);

// Removes the nonce and signature files from folder: an unsigned answer
// placed there keeps none of an earlier one beside it.
void RemoveLayoutSignature(const std::string& folder);
