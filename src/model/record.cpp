// Construction of a catalogue record.
#include "model/record.h"

namespace tarnvel {

record::record()
    : redshift(0.0), apparent_magnitude(0.0), absolute_magnitude(0.0), next(nullptr),
      next_selected(nullptr)
{
}

} // namespace tarnvel
