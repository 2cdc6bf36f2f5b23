package quillomere.tarvex;

/**
 * One cell (probe) of an intensity file or of a probe set: position, intensity and flags, with
 * the bases of probe and target where a layout gives them.
 */
public class TeskProbe {
    /** PosX: Filled by the native methods. */
    public int PosX;
    /** PosY: Filled by the native methods. */
    public int PosY;
    /** Intensity: Filled by the native methods. */
    public float Intensity;
    /** Pixels: Filled by the native methods. */
    public int Pixels;
    /** StdDev: Filled by the native methods. */
    public float StdDev;
    /** Outlier: Filled by the native methods. */
    public int Outlier;
    /** Masked: Filled by the native methods. */
    public int Masked;
    /** Background: Filled by the native methods. */
    public float Background;
    /** ProbeType: Filled by the native methods. */
    public TARVEX_PROBE_TYPE ProbeType;
    /** PBase: Filled by the native methods. */
    public String PBase;
    /** TBase: Filled by the native methods. */
    public String TBase;
}
