// Host objects as a module sees them: a first word pointing at a table of
// operations, each called by its position with the platform's member-call
// convention. The host builds the tables as data, from the positions in
// host_positions.h, and never from the module's own description of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <utility>

#include "host_platform.h"

namespace standin {

using Operation = void (*)();

struct ObjectHeader {
    const Operation* operations;  // what the module calls through
    const char* kind;             // names the object when a wrong position is called
};

// Every position a table does not name leads here: a module that calls it has
// the binary interface wrong.
template <std::size_t Position>
void HOST_MEMBER_CALL UnexpectedOperation(ObjectHeader* self)
{
    std::fprintf(stderr, "kestrel-host: the module called position %zu of %s, which the host does not provide\n",
                 Position, self->kind);
    std::abort();
}

template <class Function>
Operation AsOperation(Function function)
{
    return reinterpret_cast<Operation>(function);
}

struct NamedOperation {
    std::size_t position;
    Operation operation;
};

template <std::size_t Size>
class OperationTable {
public:
    OperationTable(std::initializer_list<NamedOperation> named)
        : OperationTable(named, std::make_index_sequence<Size>())
    {
    }

    const Operation* data() const { return slots_.data(); }

private:
    template <std::size_t... Position>
    OperationTable(std::initializer_list<NamedOperation> named, std::index_sequence<Position...>)
        : slots_{AsOperation(&UnexpectedOperation<Position>)...}
    {
        for (const NamedOperation& operation : named)
            slots_.at(operation.position) = operation.operation;
    }

    std::array<Operation, Size> slots_;
};

}  // namespace standin
