#pragma once

#include <cstdint>
#include <vector>

#include "Exception.h"

// Print job output: a job is a JSON list of blocks, each a list of byte values
// the app has already rendered in the printer's language. It is decoded whole,
// then written unchanged to the configured printer as one raw spooler document
// per copy.
namespace pavix {

class TJSONlist;

using TPrintItem = std::vector<std::uint8_t>;  // one block, written with one spooler write
using TPrintData = std::vector<TPrintItem>;    // a whole job, blocks in order

// The printer did not take a document; the message names the printer and the
// step that failed.
class PrintError : public Exception {
 public:
  using Exception::Exception;
};

// Every value becomes the low 8 bits of a 32-bit integer: numbers round to
// the nearest, ties to even; a string holding a number is read as that
// number; true is 255 and false 0. Raises, before anything is printed, on a
// block that is not a list and on a value with no integer form.
TPrintData DecodePrintJob(const TJSONlist& job);

// Decodes `job`, then sends it `copies` times (none for 0 or less). Raises
// the decoding error, or the PrintError of the first copy that failed.
void PrintJob(std::int32_t copies, const TJSONlist& job);

// One copy as one raw document named "pavix" to the printer named by the
// PrinterName setting; every spooler step is checked.
void SendRawToPrinter(const TPrintData& data);

}  // namespace pavix
