package quillomere.tarvex;

/**
 * One probe of a tiling-array sequence: the cells of its probes, its bases and its place on the
 * sequence.
 */
public class TeskSequenceHitItem {
    /** PMPosX: Filled by the native methods. */
    public int PMPosX;
    /** PMPosY: Filled by the native methods. */
    public int PMPosY;
    /** MMPosX: Filled by the native methods. */
    public int MMPosX;
    /** MMPosY: Filled by the native methods. */
    public int MMPosY;
    /** ProbeLength: Filled by the native methods. */
    public int ProbeLength;
    /** PMProbe: Filled by the native methods. */
    public String PMProbe;
    /** MatchScore: Filled by the native methods. */
    public float MatchScore;
    /** Position: Filled by the native methods. */
    public int Position;
    /** TopStrand: Filled by the native methods. */
    public int TopStrand;
}
