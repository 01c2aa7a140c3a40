#pragma once

// The calculated design as a plain value: the inputs as numbers and the results
// of one calculation. The main window reads its fields into DesignInputs,
// computeDesign() runs the model, and the window formats the results. Everything
// built on a calculation (plan, coverage, system sizing, exports, the command
// line) takes a Design and nothing of the window.

#include "core/base/message.h"
#include "core/calc/pattern.h"

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

namespace kvx {

// What a calculation reads: the fields of the window as numbers.
struct DesignInputs {
    double length = 0;     // room length L, m (along x)
    double width = 0;      // room width W, m (along y)
    double roomHeight = 0; // m
    double earHeight = 0;  // m
    double angle1 = 0;     // opening angle at 1 kHz, degrees
    double angle4 = 0;     // opening angle at 4 kHz, degrees
    double sensitivity = 0;
    double ratedPower = 0;   // W
    double lineVoltage = 0;  // V, from the amplifier tap
    int tapDivisor = 1;      // the speaker tap 1/n P
    double speakerPower = 0; // W, as the window shows it
    double difference4 = 0;  // the set difference at 4 kHz, dB
    Pattern pattern = Pattern::Square;
    Fit fit = Fit::Nearest;

    bool operator==(const DesignInputs&) const = default;
};

// The grid of a room: columns along the length, rows along the width. In
// offset rows the odd rows (0-based) hold one loudspeaker fewer, unless there
// is one column only.
struct GridSplit {
    qint64 columns = 0;
    qint64 rows = 0;
    Pattern pattern = Pattern::Square;
    qint64 count() const {
        return columns * rows - (pattern == Pattern::Offset && columns > 1 ? rows / 2 : 0);
    }
    bool operator==(const GridSplit&) const = default;
};

// Columns round(L / d) and rows round(W / p), a half to the even neighbour,
// with the row pitch p = d for the square grid and d sqrt(3) / 2 for offset
// rows; the spacing fit rounds up instead (ceil(L / d - 1e-9)), so that the
// laid-out spacing never exceeds d. A side shorter than half a spacing still
// gets one. A spacing not above zero gives no grid (0 x 0). Throws KvxError
// when a side or the count does not fit a signed 32-bit number.
GridSplit SplitGrid(double length, double width, double d, Pattern pattern = Pattern::Square,
                    Fit fit = Fit::Nearest);
// The distance between rows: d, or d sqrt(3) / 2 for offset rows.
double rowPitch(double d, Pattern pattern);

struct Design : DesignInputs {
    double h = 0;          // roomHeight - earHeight
    double thetaHalf1 = 0; // half opening angles in radians, as the model takes them
    double thetaHalf4 = 0;

    double distance = 0;  // the spacing found (0 when the search did not settle)
    int evaluations = 0;  // evaluations of the spacing search
    bool settled = false; // the search found a spacing
    GridSplit grid;
    qint32 speakers = 0;
    double intensityBelow = 0;   // at 1 kHz, below a loudspeaker
    double intensityBetween = 0; // at 1 kHz, at the centre of four (offset rows: of three)
    double directLevel = 0;      // dB
    double difference1 = 0;      // dB

    // A design the plan can be drawn from: a spacing was found and the room
    // holds loudspeakers.
    bool usable() const { return settled && distance > 0 && speakers > 0; }
    bool operator==(const Design&) const = default;
};

// The absolute 1 kHz level of a relative level of 0 dB (one loudspeaker
// overhead, the map's and the system sizing's reference) at the design's
// speaker power: S + 10 log10 P - 20 log10 h.
double levelOffset1k(const Design& design);

// The results as the window's labels show them.
struct ResultTexts {
    QString distance;    // m, one decimal
    QString speakers;    // whole
    QString level;       // dB, whole
    QString difference1; // dB, one decimal
};
ResultTexts formatResults(const Design& design, const QLocale& locale);

// A calculation that cannot give a result worth showing, with the message box
// that says why.
struct CalcFailure {
    QString title;
    QString text;
};

// The values the input checks look at, each nothing when its field holds a
// number too large to read.
struct CheckedInputs {
    std::optional<double> length;
    std::optional<double> width;
    std::optional<double> roomHeight;
    std::optional<double> earHeight;
    std::optional<double> angle1;
    std::optional<double> angle4;
    std::optional<double> difference4;
    std::optional<double> sensitivity;
    std::optional<double> ratedPower;
};
// The checks a calculation must pass before it runs, in their order: the
// first one that fails, as an "Input Error" message box; nothing when all pass.
std::optional<CalcFailure> checkInputs(const CheckedInputs& values);
CheckedInputs checkedInputs(const DesignInputs& inputs);

// Runs the model on the inputs. The search's and the logarithm's own messages
// are added to messages in the order they arise, also when the run then fails
// (a search that does not settle still gives a Design, with settled false).
// Throws CalcFailure for a spacing that is not positive, a count out of range
// or any result that is not finite.
Design computeDesign(const DesignInputs& inputs, Messages& messages);

} // namespace kvx
