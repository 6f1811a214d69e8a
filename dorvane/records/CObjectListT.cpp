#include "records/CObjectListT.h"

template class CObjectListT<CVehicle>;
template class CObjectListT<CEntry>;
template class CObjectListT<CKeyword>;
template class CObjectListT<CNotification>;
