# Sourced by the scripts that need camera-like test photos without shipping any.
# photo_field WORK WIDTH HEIGHT: writes WORK/field-srgb.v, a field of blurred colour noise four
# times WIDTH by HEIGHT; each photo is then a crop of it, and nudged crops make bursts.
photo_field() {
    local work=$1
    for band in r g b; do
        vips gaussnoise "$work/$band.v" "$2" "$3" --mean 128 --sigma 70
    done
    vips bandjoin "$work/r.v $work/g.v $work/b.v" "$work/rgb.v"
    vips resize "$work/rgb.v" "$work/big.v" 4 --kernel linear
    vips gaussblur "$work/big.v" "$work/blur.v" 10
    vips cast "$work/blur.v" "$work/field.v" uchar
    vips copy "$work/field.v" "$work/field-srgb.v" --interpretation srgb
}
