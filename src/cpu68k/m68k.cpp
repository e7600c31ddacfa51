// The interface layer: three saved processor states, each with its own
// memory-map lists, and thin forwards to the core for the live one.
#include "cpu68k/m68k.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cpu68k/s68000_internal.h"

m68k_context_entry m68k_context[m68k_context_count];
uint32_t m68k_context_index;

namespace {

constexpr int max_entries = list_slots - 1;  // the last slot stays a terminator

m68k_context_entry& current() { return m68k_context[m68k_context_index]; }

void clear_lists(m68k_context_entry& c) {
    for (int i = 0; i < list_slots; i++) {
        c.fetch[i] = {list_end, list_end, 0};
        c.read_byte[i] = {list_end, list_end, nullptr, nullptr};
        c.read_word[i] = {list_end, list_end, nullptr, nullptr};
        c.write_byte[i] = {list_end, list_end, nullptr, nullptr};
        c.write_word[i] = {list_end, list_end, nullptr, nullptr};
    }
}

// The layer writes the list pointers through the record's layout, so the
// block is never smaller than the record, whatever size the core reports.
size_t block_size() {
    size_t reported = s68000GetContextSize();
    return reported > sizeof(s68000context) ? reported : sizeof(s68000context);
}

void point_state_at_lists(s68000context* s, m68k_context_entry& c) {
    s->fetch = s->s_fetch = s->u_fetch = c.fetch;
    s->readbyte = s->s_readbyte = s->u_readbyte = c.read_byte;
    s->readword = s->s_readword = s->u_readword = c.read_word;
    s->writebyte = s->s_writebyte = s->u_writebyte = c.write_byte;
    s->writeword = s->s_writeword = s->u_writeword = c.write_word;
}

// Which lists an append or modify touches.
enum : unsigned { rb = 1, rw = 2, wb = 4, ww = 8 };

struct list_ref {
    memory_handler* list;
    uint8_t* count;
};

int pick(unsigned which, list_ref out[4]) {
    m68k_context_entry& c = current();
    int n = 0;
    if (which & wb) out[n++] = {c.write_byte, &c.write_byte_count};
    if (which & ww) out[n++] = {c.write_word, &c.write_word_count};
    if (which & rb) out[n++] = {c.read_byte, &c.read_byte_count};
    if (which & rw) out[n++] = {c.read_word, &c.read_word_count};
    return n;
}

// A combined append is refused as a whole when any of its lists is full,
// so a list never ends up holding half of a mapping.
int append(unsigned which, uint32_t low, uint32_t high, void* handler, void* user_data) {
    list_ref lists[4];
    int n = pick(which, lists);
    for (int i = 0; i < n; i++)
        if (*lists[i].count >= max_entries) return 0;
    for (int i = 0; i < n; i++)
        lists[i].list[(*lists[i].count)++] = {low, high, handler, user_data};
    return 1;
}

// Modify operations walk each list up to its terminator.
template <typename Match, typename Change>
void modify(unsigned which, Match match, Change change) {
    list_ref lists[4];
    int n = pick(which, lists);
    for (int l = 0; l < n; l++) {
        for (int i = 0; i < list_slots && lists[l].list[i].low != list_end; i++)
            if (match(lists[l].list[i])) change(lists[l].list[i]);
    }
}

void modify_data(unsigned which, uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify(
        which, [&](const memory_handler& e) { return e.low == low && e.high == high; },
        [&](memory_handler& e) {
            e.handler = handler;
            e.user_data = user_data;
        });
}

void modify_addr(unsigned which, uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify(
        which,
        [&](const memory_handler& e) { return e.handler == handler && e.user_data == user_data; },
        [&](memory_handler& e) {
            e.low = low;
            e.high = high;
        });
}

}  // namespace

int m68k_init() {
    s68000init();
    size_t size = block_size();
    for (int i = 0; i < m68k_context_count; i++) {
        m68k_context_entry& c = m68k_context[i];
        // Blocks of an earlier game are not referenced by anything any more.
        std::free(c.state);
        std::memset(&c, 0, sizeof c);
        clear_lists(c);
        void* block = std::calloc(1, size);
        if (!block) return 0;
        c.state = static_cast<s68000context*>(block);
        point_state_at_lists(c.state, c);
        s68000SetContext(block);
        s68000GetContext(block);
    }
    m68k_context_index = 0;
    s68000SetContext(m68k_context[0].state);
    return 1;
}

void m68k_switch(uint32_t index) {
    if (index >= static_cast<uint32_t>(m68k_context_count)) return;
    if (!m68k_context[m68k_context_index].state || !m68k_context[index].state) return;
    s68000GetContext(m68k_context[m68k_context_index].state);
    m68k_context_index = index;
    s68000SetContext(m68k_context[index].state);
}

int32_t m68k_reset() { return s68000reset(); }
uint32_t m68k_execute(int32_t cycles) { return s68000exec(cycles); }
int32_t m68k_cause_interrupt(int32_t level) { return s68000interrupt(level, -1); }
void m68k_flush_interrupts() { s68000flushInterrupts(); }
uint32_t m68k_readpc() { return s68000readPC(); }
void m68k_stop() { s68000releaseTimeslice(); }
int32_t m68k_clear_cycles() { return s68000tripOdometer(); }
int32_t m68k_get_elapsed_cycles() { return s68000readOdometer(); }
int32_t m68k_fetch(uint32_t address) { return s68000fetch(address); }

void m68k_charge(int32_t cycles) {
    using s68k::w;
    if (cycles <= 0) return;
    if (!w.executing) {
        // Wraps like the core's own count.
        const uint32_t odometer = static_cast<uint32_t>(s68k::ctx.odometer) + static_cast<uint32_t>(cycles);
        s68k::ctx.odometer = static_cast<int32_t>(odometer);
        return;
    }
    // What is left of the slice: the remaining budget, then any cycles set
    // aside while an interrupt check is forced. Beyond that nothing is taken.
    const int32_t from_budget = std::min(cycles, std::max(w.rem + 1, 0));
    w.rem -= from_budget;
    w.deferred -= std::min(cycles - from_budget, w.deferred);
}

int m68k_add_fetch(uint32_t low, uint32_t high, void* base) {
    m68k_context_entry& c = current();
    if (c.fetch_count >= max_entries) return 0;
    c.fetch[c.fetch_count++] = {low, high, reinterpret_cast<uintptr_t>(base) - low};
    return 1;
}

int m68k_add_readbyte(uint32_t low, uint32_t high, read_handler handler, void* user_data) {
    return append(rb, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_readword(uint32_t low, uint32_t high, read_handler handler, void* user_data) {
    return append(rw, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_writebyte(uint32_t low, uint32_t high, write_handler handler, void* user_data) {
    return append(wb, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_writeword(uint32_t low, uint32_t high, write_handler handler, void* user_data) {
    return append(ww, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_read(uint32_t low, uint32_t high, read_handler handler, void* user_data) {
    return append(rb | rw, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_write(uint32_t low, uint32_t high, write_handler handler, void* user_data) {
    return append(wb | ww, low, high, reinterpret_cast<void*>(handler), user_data);
}
int m68k_add_readwrite(uint32_t low, uint32_t high, void* handler, void* user_data) {
    return append(rb | rw | wb | ww, low, high, handler, user_data);
}

void m68k_modify_fetch_data(uint32_t low, uint32_t high, void* base) {
    m68k_context_entry& c = current();
    for (int i = 0; i < list_slots && c.fetch[i].low != list_end; i++)
        if (c.fetch[i].low == low && c.fetch[i].high == high)
            c.fetch[i].offset = reinterpret_cast<uintptr_t>(base) - low;
}
void m68k_modify_readbyte_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(rb, low, high, handler, user_data);
}
void m68k_modify_readword_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(rw, low, high, handler, user_data);
}
void m68k_modify_writebyte_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(wb, low, high, handler, user_data);
}
void m68k_modify_writeword_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(ww, low, high, handler, user_data);
}
void m68k_modify_read_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(rb | rw, low, high, handler, user_data);
}
void m68k_modify_write_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_data(wb | ww, low, high, handler, user_data);
}
void m68k_modify_readwrite_data(uint32_t low, uint32_t high, void* handler, void* user_data) {
    // Round trip through the block so the live state sees the same lists.
    s68000context* block = current().state;
    if (block) s68000GetContext(block);
    m68k_modify_write_data(low, high, handler, user_data);
    m68k_modify_read_data(low, high, handler, user_data);
    if (block) s68000SetContext(block);
}

void m68k_modify_fetch_addr(uint32_t low, uint32_t high, void* base) {
    m68k_context_entry& c = current();
    uintptr_t host = reinterpret_cast<uintptr_t>(base);
    for (int i = 0; i < list_slots && c.fetch[i].low != list_end; i++) {
        if (c.fetch[i].offset + c.fetch[i].low == host) {
            c.fetch[i].low = low;
            c.fetch[i].high = high;
            c.fetch[i].offset = host - low;
        }
    }
}
void m68k_modify_readbyte_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(rb, low, high, handler, user_data);
}
void m68k_modify_readword_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(rw, low, high, handler, user_data);
}
void m68k_modify_writebyte_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(wb, low, high, handler, user_data);
}
void m68k_modify_writeword_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(ww, low, high, handler, user_data);
}
void m68k_modify_read_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(rb | rw, low, high, handler, user_data);
}
void m68k_modify_write_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(wb | ww, low, high, handler, user_data);
}
void m68k_modify_readwrite_addr(uint32_t low, uint32_t high, void* handler, void* user_data) {
    modify_addr(rb | rw | wb | ww, low, high, handler, user_data);
}
