package quillomere.tarvex;

/**
 * A probe set of a layout or results file, with its expression results where a results file gives
 * them. Its probe pairs and control probes are read through the file object that produced it.
 */
public class TeskProbeSet extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** Name: Filled by the native methods. */
    public String Name;
    /** CompDataExists: Filled by the native methods. */
    public int CompDataExists;
    /** NumPairs: Filled by the native methods. */
    public int NumPairs;
    /** NumPairsUsed: Filled by the native methods. */
    public int NumPairsUsed;
    /** Signal: Filled by the native methods. */
    public float Signal;
    /** Detection: Filled by the native methods. */
    public TARVEX_ABS_CALL_TYPE Detection;
    /** DetectionPValue: Filled by the native methods. */
    public float DetectionPValue;
    /** CommonPairs: Filled by the native methods. */
    public int CommonPairs;
    /** SignalLogRatio: Filled by the native methods. */
    public float SignalLogRatio;
    /** SignalLogRatioLow: Filled by the native methods. */
    public float SignalLogRatioLow;
    /** SignalLogRatioHigh: Filled by the native methods. */
    public float SignalLogRatioHigh;
    /** Change: Filled by the native methods. */
    public TARVEX_COMP_CALL_TYPE Change;
    /** ChangePValue: Filled by the native methods. */
    public float ChangePValue;
    /** Positive: Filled by the native methods. */
    public int Positive;
    /** Negative: Filled by the native methods. */
    public int Negative;
    /** NumPairsUsedInAvgDiff: Filled by the native methods. */
    public int NumPairsUsedInAvgDiff;
    /** PositiveFraction: Filled by the native methods. */
    public float PositiveFraction;
    /** LogAverage: Filled by the native methods. */
    public float LogAverage;
    /** PosNegRatio: Filled by the native methods. */
    public float PosNegRatio;
    /** AverageDifference: Filled by the native methods. */
    public float AverageDifference;
    /** AbsoluteCall: Filled by the native methods. */
    public TARVEX_ABS_CALL_TYPE AbsoluteCall;
    /** Increase: Filled by the native methods. */
    public int Increase;
    /** Decrease: Filled by the native methods. */
    public int Decrease;
    /** IncreaseRatio: Filled by the native methods. */
    public float IncreaseRatio;
    /** DecreaseRatio: Filled by the native methods. */
    public float DecreaseRatio;
    /** PositiveChange: Filled by the native methods. */
    public int PositiveChange;
    /** NegativeChange: Filled by the native methods. */
    public int NegativeChange;
    /** IncDecRatio: Filled by the native methods. */
    public float IncDecRatio;
    /** DPosDNegDiffRatio: Filled by the native methods. */
    public float DPosDNegDiffRatio;
    /** LogAvgRatioChange: Filled by the native methods. */
    public float LogAvgRatioChange;
    /** AvgDiffChange: Filled by the native methods. */
    public float AvgDiffChange;
    /** BaselineIsAbsent: Filled by the native methods. */
    public int BaselineIsAbsent;
    /** FoldChange: Filled by the native methods. */
    public float FoldChange;
    /** SortScore: Filled by the native methods. */
    public float SortScore;
    /** DifferenceCall: Filled by the native methods. */
    public TARVEX_COMP_CALL_TYPE DifferenceCall;
    /** NumQCProbes: Filled by the native methods. */
    public int NumQCProbes;
    /** QCType: Filled by the native methods. */
    public TARVEX_QC_PROBESET_TYPE QCType;
    /** ProbeSetType: Filled by the native methods. */
    public TARVEX_PROBESET_TYPE ProbeSetType;

    /**
     * One probe pair of this probe set.
     *
     * @param index index of the item, from 0
     * @return the pair
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbePair GetProbePair(int index) throws Exception;

    /**
     * Every probe pair of this probe set.
     *
     * @return the pairs, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbePair[] GetProbePairs() throws Exception;

    /**
     * One control probe of this probe set.
     *
     * @param index index of the item, from 0
     * @return the probe
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe GetQCProbe(int index) throws Exception;

    /**
     * Every control probe of this probe set.
     *
     * @return the probes, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe[] GetQCProbes() throws Exception;

}
