package quillomere.tarvex;

/**
 * A genotyping probe set, with its call where a results file gives one. Its groups are read
 * through the file object that produced it.
 */
public class TeskGenotypeProbeSet extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** SNPID: Filled by the native methods. */
    public String SNPID;
    /** NumGroups: Filled by the native methods. */
    public int NumGroups;
    /** ProbeSetType: Filled by the native methods. */
    public TARVEX_PROBESET_TYPE ProbeSetType;
    /** Call: Filled by the native methods. */
    public TARVEX_GENOTYPE_RESULT_TYPE Call;
    /** Confidence: Filled by the native methods. */
    public float Confidence;
    /** RAS1: Filled by the native methods. */
    public float RAS1;
    /** RAS2: Filled by the native methods. */
    public float RAS2;
    /** AA_PValue: Filled by the native methods. */
    public float AA_PValue;
    /** AB_PValue: Filled by the native methods. */
    public float AB_PValue;
    /** BB_PValue: Filled by the native methods. */
    public float BB_PValue;
    /** NoCall_PValue: Filled by the native methods. */
    public float NoCall_PValue;

    /**
     * One probe group (allele block) of this probe set.
     *
     * @param index index of the item, from 0
     * @return the group
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskGenotypeProbeGroup GetProbeGroupByIndex(int index) throws Exception;

    /**
     * Every probe group of this probe set.
     *
     * @return the groups, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskGenotypeProbeGroup[] GetProbeGroups() throws Exception;

}
