#include "common/PlayerStatusDB.h"

namespace DRAVO {

PlayerStatusDB& PlayerStatusDB::singleton()
{
    static PlayerStatusDB store;
    return store;
}

}  // namespace DRAVO
