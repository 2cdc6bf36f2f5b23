package quillomere.tarvex;

/**
 * One sequence of a tiling-array probe map. Its hits and parameters are read through the file
 * object that produced it.
 */
public class TeskSequenceItem extends ChildObject {
    static {
        NativeLibrary.load();
    }

    /** Name: Filled by the native methods. */
    public String Name;
    /** Number: Filled by the native methods. */
    public int Number;
    /** NumberHits: Filled by the native methods. */
    public int NumberHits;
    /** GroupName: Filled by the native methods. */
    public String GroupName;
    /** Version: Filled by the native methods. */
    public String Version;
    /** NumberParameters: Filled by the native methods. */
    public int NumberParameters;

    /**
     * One probe (hit) of this sequence.
     *
     * @param index index of the item, from 0
     * @return the hit
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskSequenceHitItem GetHitItem(int index) throws Exception;

    /**
     * One parameter of this sequence.
     *
     * @param index index of the item, from 0
     * @return the parameter's tag (Param) and value
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskParameterValueClass GetParameter(int index) throws Exception;

}
