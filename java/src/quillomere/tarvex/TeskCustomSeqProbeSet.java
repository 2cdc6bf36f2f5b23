package quillomere.tarvex;

/**
 * A custom-sequence (resequencing) probe set. Its groups and lists are read through the file
 * object that produced it.
 */
public class TeskCustomSeqProbeSet extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** NumGroups: Filled by the native methods. */
    public int NumGroups;
    /** ProbeSetType: Filled by the native methods. */
    public TARVEX_PROBESET_TYPE ProbeSetType;

    /**
     * One probe group of this probe set.
     *
     * @param index index of the item, from 0
     * @return the group
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskCustomSeqProbeGroup GetProbeGroupByIndex(int index) throws Exception;

    /**
     * Every probe group of this probe set.
     *
     * @return the groups, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskCustomSeqProbeGroup[] GetProbeGroups() throws Exception;

    /**
     * The probe list of a position of the reference sequence.
     *
     * @param index reference index
     * @return the list
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskCustomSeqProbeList GetProbeListByReferenceIndex(int index) throws Exception;

}
