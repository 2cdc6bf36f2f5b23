package quillomere.tarvex;

/**
 * A perfect-match and mismatch pair of cells of an expression probe set.
 */
public class TeskProbePair {
    /** ProbeSetNumber: Filled by the native methods. */
    public int ProbeSetNumber;
    /** ProbePairNumber: Filled by the native methods. */
    public int ProbePairNumber;
    /** UseProbePair: Filled by the native methods. */
    public TARVEX_PROBEPAIR_USAGE_TYPE UseProbePair;
    /** Background: Filled by the native methods. */
    public float Background;
    /** PMPosX: Filled by the native methods. */
    public int PMPosX;
    /** PMPosY: Filled by the native methods. */
    public int PMPosY;
    /** PMIntensity: Filled by the native methods. */
    public float PMIntensity;
    /** PMStdDev: Filled by the native methods. */
    public float PMStdDev;
    /** PMPixels: Filled by the native methods. */
    public int PMPixels;
    /** PMOutlier: Filled by the native methods. */
    public int PMOutlier;
    /** PMMasked: Filled by the native methods. */
    public int PMMasked;
    /** MMPosX: Filled by the native methods. */
    public int MMPosX;
    /** MMPosY: Filled by the native methods. */
    public int MMPosY;
    /** MMIntensity: Filled by the native methods. */
    public float MMIntensity;
    /** MMStdDev: Filled by the native methods. */
    public float MMStdDev;
    /** MMPixels: Filled by the native methods. */
    public int MMPixels;
    /** MMOutlier: Filled by the native methods. */
    public int MMOutlier;
    /** MMMasked: Filled by the native methods. */
    public int MMMasked;
}
