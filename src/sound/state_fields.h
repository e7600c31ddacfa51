// One list of a chip's plain fields serves both directions of its state:
// the list is a template over one of these two field visitors.
#pragma once
#include "common/state_bytes.h"

struct save_field {
    state_writer& out;
    template <class T>
    void operator()(const T& value) { out.put(value); }
};

struct load_field {
    state_reader& in;
    template <class T>
    void operator()(T& value) { in.get(value); }
};
