// Writes a synthetic catalogue in the program's catalogue format to standard
// output: realistic sky positions at both epochs, redshifts from 0.1 to 5
// with 2% lower limits, magnitudes in 80% of the entries and the no-value
// magnitude elsewhere, one entry per line, closed by a line holding "$".
//
// usage: gen_catalogue ENTRIES [SEED]
// The same ENTRIES and SEED give the same file on the same platform.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// splitmix64: small, fast and the same everywhere.
struct random_source {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
};

char* put_fixed(char* at, long value, int digits)
{
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || n < digits);
    while (n > 0)
        *at++ = reversed[--n];
    return at;
}

// value / 10^decimals, with at least `whole` digits before the point.
char* put_decimal(char* at, long scaled, int whole, int decimals)
{
    if (scaled < 0) {
        *at++ = '-';
        scaled = -scaled;
    }
    long unit = 1;
    for (int i = 0; i < decimals; ++i)
        unit *= 10;
    at = put_fixed(at, scaled / unit, whole);
    if (decimals > 0) {
        *at++ = '.';
        at = put_fixed(at, scaled % unit, decimals);
    }
    return at;
}

struct position {
    long ra_centiseconds; // 0 .. 8639999
    long dec_deciarcsec;  // -3240000 .. 3240000
};

char* put_ra(char* at, long cs)
{
    at = put_fixed(at, cs / 360000, 2);
    *at++ = '$';
    at = put_fixed(at, cs / 6000 % 60, 2);
    *at++ = '$';
    at = put_decimal(at, cs % 6000, 2, 2);
    *at++ = '$';
    return at;
}

char* put_dec(char* at, long das)
{
    const bool south = das < 0;
    const long a = south ? -das : das;
    const long degrees = a / 36000;
    if (south && degrees == 0) {
        std::memcpy(at, "-0.000001", 9);
        at += 9;
    } else {
        *at++ = south ? '-' : '+';
        at = put_fixed(at, degrees, 2);
    }
    *at++ = '$';
    at = put_fixed(at, a / 600 % 60, 2);
    *at++ = '$';
    at = put_decimal(at, a % 600, 2, 1);
    *at++ = '$';
    return at;
}

// A rough precession from 2000 back to 1950, enough for plausible values.
position to_1950(position p)
{
    const double pi = 3.14159265358979323846;
    const double ra = static_cast<double>(p.ra_centiseconds) / 8640000.0 * 2 * pi;
    const double dec = static_cast<double>(p.dec_deciarcsec) / 36000.0 * pi / 180;
    const double dra_s = 50 * (3.075 + 1.336 * std::sin(ra) * std::tan(dec));
    const double ddec_as = 50 * 20.04 * std::cos(ra);
    position q;
    q.ra_centiseconds = (p.ra_centiseconds - std::lround(dra_s * 100) + 8640000) % 8640000;
    q.dec_deciarcsec = p.dec_deciarcsec - std::lround(ddec_as * 10);
    if (q.dec_deciarcsec > 3240000)
        q.dec_deciarcsec = 3240000;
    if (q.dec_deciarcsec < -3240000)
        q.dec_deciarcsec = -3240000;
    return q;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fputs("usage: gen_catalogue ENTRIES [SEED]\n", stderr);
        return 2;
    }
    const long entries = std::strtol(argv[1], nullptr, 10);
    random_source random{argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1};
    static char buffer[1 << 20];
    char* at = buffer;
    const double pi = 3.14159265358979323846;
    for (long i = 0; i < entries; ++i) {
        position p;
        p.ra_centiseconds = static_cast<long>(random.next() % 8640000);
        const double dec = std::asin(2 * random.uniform() - 1) * 180 / pi;
        p.dec_deciarcsec = std::lround(dec * 36000);
        const position old = to_1950(p);

        // Field 1: "Q hhmm+ddd" from the 1950 position.
        std::memcpy(at, "Q ", 2);
        at += 2;
        at = put_fixed(at, old.ra_centiseconds / 360000, 2);
        at = put_fixed(at, old.ra_centiseconds / 6000 % 60, 2);
        *at++ = old.dec_deciarcsec < 0 ? '-' : '+';
        at = put_fixed(at, std::labs(old.dec_deciarcsec) / 3600, 3);
        *at++ = '$';

        at = put_ra(at, p.ra_centiseconds);
        at = put_dec(at, p.dec_deciarcsec);

        // Redshift 0.1 to 5 (median near 1.8); 2% are lower limits.
        const long z = 10000 + std::lround(490000 * std::pow(random.uniform(), 1.5));
        at = put_decimal(at, z, 1, 5);
        if (random.next() % 50 == 0) {
            std::memcpy(at, "e12", 3);
            at += 3;
        }
        *at++ = '$';

        // Magnitudes in 80% of the entries.
        if (random.next() % 5 != 0) {
            at = put_decimal(at, 1500 + static_cast<long>(random.next() % 700), 2, 2);
            *at++ = '$';
            at = put_decimal(at, -2000 - static_cast<long>(random.next() % 1000), 2, 2);
            *at++ = '$';
        } else {
            std::memcpy(at, "1e8$1e8$", 8);
            at += 8;
        }

        at = put_ra(at, old.ra_centiseconds);
        at = put_dec(at, old.dec_deciarcsec);

        // Field 17: "J hhmmss.ss+ddmmss.s" from the 2000 position.
        std::memcpy(at, "J ", 2);
        at += 2;
        at = put_fixed(at, p.ra_centiseconds / 360000, 2);
        at = put_fixed(at, p.ra_centiseconds / 6000 % 60, 2);
        at = put_decimal(at, p.ra_centiseconds % 6000, 2, 2);
        const long a = std::labs(p.dec_deciarcsec);
        *at++ = p.dec_deciarcsec < 0 ? '-' : '+';
        at = put_fixed(at, a / 36000, 2);
        at = put_fixed(at, a / 600 % 60, 2);
        at = put_decimal(at, a % 600, 2, 1);
        *at++ = '$';
        *at++ = '\n';

        if (at - buffer > static_cast<long>(sizeof buffer) - 512) {
            std::fwrite(buffer, 1, static_cast<std::size_t>(at - buffer), stdout);
            at = buffer;
        }
    }
    *at++ = '$';
    *at++ = '\n';
    std::fwrite(buffer, 1, static_cast<std::size_t>(at - buffer), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
