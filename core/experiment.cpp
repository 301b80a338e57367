#include "core/experiment.h"

Module1 &Module1::instance()
{
    static Module1 record;
    return record;
}
