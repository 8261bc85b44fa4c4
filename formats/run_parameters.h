// "Phantom.dat": the seven-line run-parameter file, written by the front end
// and read once by the engine at start-up.
#pragma once

#include <string>

namespace velmora {

inline constexpr const char* kRunParameterFileName = "Phantom.dat";
inline constexpr int kResultFileNameBytes = 30;

// The engine's view of the file: single precision, as read.
struct RunParameters {
    float incidenceAngle = 0;  // degrees
    float fid = 0;             // focus to image detector, cm
    float fsd = 0;             // focus to entrance surface, cm
    float fieldSize = 0;       // side of the square field at the FID, cm
    float couchThickness = 0;  // water-equivalent, cm
    float photonCount = 0;     // a real, not an integer
    std::string resultFileName;  // exactly 30 bytes of Shift_JIS, blank padded
};

// What the front end writes: the geometry and photon count in double precision
// and the result file name (Shift_JIS bytes, as typed, without extension).
struct RunParameterInput {
    double incidenceAngle = 0;
    double fid = 0;
    double fsd = 0;
    double fieldSize = 0;
    double couchThickness = 0;
    double photonCount = 0;
    std::string resultNameShiftJis;
};

// The seven CR LF lines: "00.0", "#00.0", "#00.0", "00.0", "0.0", "0.00E+00",
// then the name followed by ".ddat".
std::string formatRunParameterFile(const RunParameterInput& input);

// Writes the file atomically; throws InputError with the OS reason.
void writeRunParameterFile(const std::string& path, const RunParameterInput& input);

// Parses the file's bytes; `fileName` names it in errors. Throws InputError
// naming the line and field when a line is missing or does not begin with a number.
RunParameters parseRunParameterFile(std::string_view bytes, const std::string& fileName);
RunParameters readRunParameterFile(const std::string& path);

// The result file name with trailing blanks removed.
std::string trimmedResultFileName(const RunParameters& parameters);

}  // namespace velmora
