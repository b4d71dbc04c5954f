// The poll loop of `getkelo-cli poll` written with libmodbus, for the per-line comparison in
// bench/cli_poll_vs_libmodbus.sh: N reads of the 12 controller registers from address 1,
// one line per read in the CLI's format (address;flow;temperature;totalizer;setpoint;valve).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <modbus.h>

namespace {

float floatAt(const uint16_t* r) {
    uint32_t bits = static_cast<uint32_t>(r[0]) << 16 | r[1];
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: libmodbus_poll DEVICE COUNT\n");
        return 2;
    }
    modbus_t* ctx = modbus_new_rtu(argv[1], 9600, 'N', 8, 2);
    if (!ctx || modbus_connect(ctx) != 0) {
        std::fprintf(stderr, "libmodbus_poll: cannot open %s\n", argv[1]);
        return 1;
    }
    modbus_set_slave(ctx, 1);
    long count = std::atol(argv[2]);
    uint16_t regs[12];
    for (long i = 0; i < count; ++i) {
        if (modbus_read_registers(ctx, 0x0000, 12, regs) != 12) {
            std::printf("1;Timeout!;;;;\n");
            continue;
        }
        std::printf("1;%.7g;%.2f;;%.7g;%.2f\n", floatAt(regs), floatAt(regs + 2), floatAt(regs + 6),
                    floatAt(regs + 10));
    }
    modbus_close(ctx);
    modbus_free(ctx);
    return 0;
}
