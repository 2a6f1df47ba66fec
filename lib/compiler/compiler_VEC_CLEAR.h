#pragma once
// Empties a list and gives its storage back (clear() alone keeps the capacity).

namespace Compiler {

template <class List>
void VEC_CLEAR(List& list)
{
    List().swap(list);
}

}  // namespace Compiler
