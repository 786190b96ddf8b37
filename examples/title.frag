// The background of the example's title: waves between two colours, with
// the emblem image drifting through them from iChannel0.
void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 uv = fragCoord / iResolution.xy;
    float wave = 0.5 + 0.5 * sin(uv.x * 9.0 + iTime * 1.7 + 2.0 * sin(uv.y * 5.0 - iTime));
    vec3 colour = mix(uColor1.rgb, uColor2.rgb, wave * uParam1);

    // The emblem, its own size, across the band once every few seconds.
    vec2 emblemSize = iChannelResolution[0].xy;
    vec2 corner = vec2(mod(iTime * 120.0, iResolution.x + emblemSize.x) - emblemSize.x,
                       0.5 * (iResolution.y - emblemSize.y));
    vec2 emblemUv = (fragCoord - corner) / emblemSize;
    if (all(greaterThanEqual(emblemUv, vec2(0.0))) && all(lessThan(emblemUv, vec2(1.0)))) {
        vec4 emblem = texture(iChannel0, vec2(emblemUv.x, 1.0 - emblemUv.y));
        colour = mix(colour, emblem.rgb, emblem.a * 0.35);
    }
    fragColor = vec4(colour, 1.0);
}
