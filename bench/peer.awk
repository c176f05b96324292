# The awk program a user of the catalogue would write instead of tarnvel: the
# same selection at epoch 2000, published as a plain HTML table, one row per
# selected entry. The benchmark races it against the program and checks that
# both select the same entries.
#
# usage: mawk -F'$' -v ra_min=HH:MM:SS -v ra_max=HH:MM:SS -v dec_min=[+-]DD:MM:SS \
#          -v dec_max=[+-]DD:MM:SS -v z_min=Z -v z_max=Z -v v_min=V -v v_max=V \
#          -v m_min=M -v m_max=M -f peer.awk CATALOGUE > PAGE
# It prints "selected N of T" on standard error.

# Seconds of a right ascension written hh:mm:ss.
function ascension(text,    part) {
    split(text, part, ":")
    return 3600 * part[1] + 60 * part[2] + part[3]
}

# Signed seconds of arc of a declination bound: its sign character first.
function declination_bound(text,    sign, part, degrees) {
    sign = substr(text, 1, 1) == "-" ? -1 : 1
    split(substr(text, 2), part, ":")
    degrees = part[1] + 0
    if (degrees < 0) degrees = -degrees
    return sign * (3600 * degrees + 60 * part[2] + part[3])
}

# Signed seconds of arc of a catalogue declination: the sign of its degrees;
# degrees of size up to 1e-6 count as 0 with their sign.
function declination(degrees, minutes, seconds,    sign) {
    degrees += 0
    sign = degrees < 0 ? -1 : 1
    if (degrees < 0) degrees = -degrees
    if (degrees <= 1e-6) degrees = 0
    return sign * (3600 * degrees + 60 * minutes + seconds)
}

# A magnitude passes its interval, or has no value (1e8).
function magnitude_passes(value, low, high) {
    value += 0
    return value == 1e8 || (value >= low && value <= high)
}

BEGIN {
    low_ra = ascension(ra_min); high_ra = ascension(ra_max)
    low_dec = declination_bound(dec_min); high_dec = declination_bound(dec_max)
    z_min += 0; z_max += 0; v_min += 0; v_max += 0; m_min += 0; m_max += 0
    selected = 0; total = 0
    print "<html><head><title>Selected QSOs</title></head><body>"
    print "<table border=\"1\"><tr><th>name I</th><th>RA 2000</th><th>Dec 2000</th>" \
          "<th>z</th><th>V</th><th>M</th><th>RA 1950</th><th>Dec 1950</th><th>name II</th></tr>"
}

{
    name = $1
    sub(/^[ \t\r]+/, "", name)
    if (name == "") exit   # the closing line
    total++
    a = 3600 * $2 + 60 * $3 + $4
    if (a < low_ra || a > high_ra) next
    d = declination($5, $6, $7)
    if (d < low_dec || d > high_dec) next
    z = $8 + 0
    if (z > 1e9) z /= 1e12
    if (z < z_min || z > z_max) next
    if (!magnitude_passes($9, v_min, v_max) || !magnitude_passes($10, m_min, m_max)) next
    selected++
    printf "<tr><td>%s</td><td>%s:%s:%s</td><td>%s:%s:%s</td><td>%s</td><td>%s</td>" \
           "<td>%s</td><td>%s:%s:%s</td><td>%s:%s:%s</td><td>%s</td></tr>\n", \
           name, $2, $3, $4, $5, $6, $7, (($8 + 0) > 1e9 ? ">" z : $8), \
           ($9 + 0 == 1e8 ? "" : $9), ($10 + 0 == 1e8 ? "" : $10), \
           $11, $12, $13, $14, $15, $16, $17
}

END {
    print "</table><p>" selected " of " total " entries.</p></body></html>"
    printf "selected %d of %d\n", selected, total > "/dev/stderr"
}
