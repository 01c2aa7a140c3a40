// Placeholder: implemented by its subsystem.
#include "core/calc/sound.h"

namespace kvx {

double Directivity(double, double)
{
    return 0;
}
double SpeakerContribution(double, double, double, double, double)
{
    return 0;
}
double IntensityBelowSpeaker(double, double, double)
{
    return 0;
}
double IntensityBetweenSpeakers(double, double, double)
{
    return 0;
}
double Log10(double, Platform&)
{
    return 0;
}
qint32 SpeakerCount(double, double, double)
{
    return 0;
}
SpacingResult SolveSpacing(double, double, double, Platform&)
{
    return {};
}

} // namespace kvx
